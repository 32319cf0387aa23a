// The syntax tree of a Tervex Basic program. Names are kept as written; they compare without
// regard to case (see foldCase). The parser bounds the depth of every tree it builds (kMaxNesting),
// so passes may walk it recursively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "source.h"
#include "type_tag.h"

namespace tx::txc {

// Deepest nesting of expressions and of blocks the parser accepts.
inline constexpr int kMaxNesting = 256;

std::string foldCase(std::string_view name);

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

struct IntLiteral {
    int32_t value;
};
struct FloatLiteral {
    double value;
};
struct StringLiteral {
    std::string bytes;
};
struct NullLiteral {};
struct NameExpr {
    std::string name;
    TypeTag tag;
};
// `f(a, b)`: a call of a function or command, or an element of a Dim array; resolved later.
struct CallExpr {
    std::string name;
    TypeTag tag;
    ExprList args;
};
// `v[i]`: an element of a vector.
struct IndexExpr {
    ExprPtr base;
    ExprPtr index;
};
// `o\field`
struct FieldExpr {
    ExprPtr object;
    std::string field;
    TypeTag tag;
};
enum class TypeOp : uint8_t { New, First, Last };
struct TypeOpExpr {
    TypeOp op;
    std::string typeName;
};
enum class ObjectOp : uint8_t { After, Before, Handle };
struct ObjectOpExpr {
    ObjectOp op;
    ExprPtr operand;
};
// `Object.T(h)`
struct ObjectCastExpr {
    std::string typeName;
    ExprPtr handle;
};
enum class Conversion : uint8_t { Str, Int, Float };
struct ConvertExpr {
    Conversion to;
    ExprPtr operand;
};
enum class UnaryOp : uint8_t { Negate, Plus, BitNot, Not };
struct UnaryExpr {
    UnaryOp op;
    ExprPtr operand;
};
enum class BinaryOp : uint8_t {
    Power,
    Mul,
    Div,
    Mod,
    Shl,
    Shr,
    Sar,
    Add,
    Sub,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    And,
    Or,
    Xor
};
struct BinaryExpr {
    BinaryOp op;
    ExprPtr lhs;
    ExprPtr rhs;
};

struct Expr {
    SourcePos pos;
    int height = 1;  // 1 for a leaf
    std::variant<IntLiteral, FloatLiteral, StringLiteral, NullLiteral, NameExpr, CallExpr,
                 IndexExpr, FieldExpr, TypeOpExpr, ObjectOpExpr, ObjectCastExpr, ConvertExpr,
                 UnaryExpr, BinaryExpr>
        node;
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

// `x = e`, `a(i) = e`, `o\f = e`, `v[i] = e`
struct AssignStmt {
    ExprPtr target;
    ExprPtr value;
};
// `Graphics 640, 480` or `Graphics(640, 480)`
struct CallStmt {
    std::string name;
    TypeTag tag;
    ExprList args;
};
struct IfBranch {
    SourcePos pos;
    ExprPtr condition;
    Block body;
};
struct IfStmt {
    std::vector<IfBranch> branches;  // the If, then every ElseIf
    bool hasElse = false;
    Block elseBody;
    bool oneLine = false;
};
struct WhileStmt {
    ExprPtr condition;
    Block body;
};
struct RepeatStmt {
    Block body;
    ExprPtr until;  // null: Forever
};
struct ForStmt {
    std::string var;
    TypeTag tag;
    ExprPtr from;
    ExprPtr to;
    ExprPtr step;  // null: 1; otherwise a number literal, a name or a negated name
    Block body;
};
struct ForEachStmt {
    std::string var;
    TypeTag tag;
    std::string typeName;
    Block body;
};
struct ExitStmt {};
struct SelectCase {
    SourcePos pos;
    ExprList values;
    Block body;
};
struct SelectStmt {
    ExprPtr subject;
    std::vector<SelectCase> cases;
    bool hasDefault = false;
    Block defaultBody;
};
struct LabelStmt {
    std::string name;
};
struct GotoStmt {
    bool gosub = false;
    std::string label;
};
struct ReturnStmt {
    ExprPtr value;  // may be null
};
struct VarDeclItem {
    SourcePos pos;
    std::string name;
    TypeTag tag;
    ExprPtr
        vectorLast;  // `Local a[10]`: the highest index (elements 0..10); null for a plain variable
    ExprPtr init;    // may be null
};
struct VarDeclStmt {
    bool global = false;
    std::vector<VarDeclItem> items;
};
struct DimItem {
    SourcePos pos;
    std::string name;
    TypeTag tag;
    ExprList dims;
};
struct DimStmt {
    std::vector<DimItem> items;
};
struct ConstItem {
    SourcePos pos;
    std::string name;
    TypeTag tag;
    ExprPtr value;
};
struct ConstStmt {
    std::vector<ConstItem> items;
};
struct DeleteStmt {
    ExprPtr object;
};
struct DeleteEachStmt {
    std::string typeName;
};
struct InsertStmt {
    ExprPtr object;
    bool before = false;
    ExprPtr anchor;
};
struct DataStmt {
    ExprList values;
};
struct ReadStmt {
    ExprList targets;
};
struct RestoreStmt {
    std::string label;  // empty: the first data
};
struct EndStmt {};
struct StopStmt {};
struct IncludeStmt {
    std::string path;  // as written
};

struct Param {
    SourcePos pos;
    std::string name;
    TypeTag tag;
    ExprPtr defaultValue;  // may be null
};
struct FunctionDecl {
    SourcePos pos;
    std::string name;
    TypeTag tag;  // the result's type
    std::vector<Param> params;
    Block body;
};
struct FieldDecl {
    SourcePos pos;
    std::string name;
    TypeTag tag;
    ExprPtr vectorLast;  // `Field e[8]`: the highest index; null for a plain field
};
struct TypeDecl {
    SourcePos pos;
    std::string name;
    std::vector<FieldDecl> fields;
};
// A Function or Type where it stands in its file; taken out of the main program when includes are
// expanded.
struct FunctionStmt {
    std::unique_ptr<FunctionDecl> decl;
};
struct TypeStmt {
    std::unique_ptr<TypeDecl> decl;
};

struct Stmt {
    SourcePos pos;
    std::variant<AssignStmt, CallStmt, IfStmt, WhileStmt, RepeatStmt, ForStmt, ForEachStmt,
                 ExitStmt, SelectStmt, LabelStmt, GotoStmt, ReturnStmt, VarDeclStmt, DimStmt,
                 ConstStmt, DeleteStmt, DeleteEachStmt, InsertStmt, DataStmt, ReadStmt, RestoreStmt,
                 EndStmt, StopStmt, IncludeStmt, FunctionStmt, TypeStmt>
        node;
};

}  // namespace tx::txc
