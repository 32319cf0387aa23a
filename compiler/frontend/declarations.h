// Collects the declarations of a program while its files are expanded, and reports the ones that
// clash: a function, type, field, parameter, global, constant or label declared twice.
#pragma once

#include "diagnostics.h"
#include "program.h"

namespace tx::txc {

class DeclarationCollector {
public:
    DeclarationCollector(Declarations& declarations, Diagnostics& diagnostics,
                         const SourceFiles& files)
        : declarations_(declarations), diagnostics_(diagnostics), files_(files) {}

    void function(const FunctionDecl& decl);
    void type(const TypeDecl& decl);
    // A top-level statement of the main program, with every block inside it.
    void statement(const Stmt& stmt) { walk(stmt, nullptr); }

private:
    void walk(const Stmt& stmt, const FunctionDecl* scope);
    void walkBlock(const Block& block, const FunctionDecl* scope);
    std::string where(SourcePos pos) const;

    Declarations& declarations_;
    Diagnostics& diagnostics_;
    const SourceFiles& files_;
    std::map<std::string, SourcePos> globals_;
    std::map<std::string, SourcePos> consts_;
    std::map<std::string, const DimItem*> arrays_;
};

}  // namespace tx::txc
