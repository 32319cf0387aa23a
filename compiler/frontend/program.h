// A whole program after includes are expanded: its functions, types, main statements and the
// declarations later passes look up.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ast.h"

namespace tx::txc {

struct LabelInfo {
    std::string name;
    SourcePos pos;
    const FunctionDecl* function = nullptr;  // null: a label of the main program
    size_t dataIndex = 0;  // how many Data values come before it: where Restore starts reading
};

// What the program declares, in source order after includes are expanded. The pointers point into
// the Program that holds these declarations. Maps are keyed by the case-folded name.
struct Declarations {
    std::map<std::string, const FunctionDecl*> functions;
    std::map<std::string, const TypeDecl*> types;
    std::vector<const VarDeclItem*> globals;
    std::vector<const ConstItem*> consts;
    std::vector<const DimItem*> arrays;  // the first Dim of each array
    std::vector<LabelInfo> labels;
    std::map<std::pair<const FunctionDecl*, std::string>, size_t> labelIndex;  // into labels
    std::vector<const Expr*> data;  // every Data value in order

    const FunctionDecl* findFunction(std::string_view name) const;
    const TypeDecl* findType(std::string_view name) const;
    // A label of the main program (function == null) or of the given function.
    const LabelInfo* findLabel(std::string_view name, const FunctionDecl* function) const;
};

struct Program {
    std::vector<std::unique_ptr<FunctionDecl>> functions;
    std::vector<std::unique_ptr<TypeDecl>> types;
    Block main;
    Declarations declarations;
};

}  // namespace tx::txc
