// Generates the machine code of a checked program: the main program at __MAIN, each function,
// then the static data (globals, arrays, type and vector descriptors, string and float literals,
// and the data table at __DATA). Type errors are reported as the code is generated; the code of
// a program with errors is thrown away.
//
// Values: integers, strings and objects come back in eax, floats in st(0). A string value is a
// temporary the code owns (released, stored or handed on exactly once); an object value is a
// plain reference, counted only where a variable, field or element holds it. The integer locals
// used most (by static count, weighted by loop depth) live in ebx, esi and edi.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "command_catalog.h"
#include "compile.h"
#include "program_symbols.h"
#include "x86_encoder.h"

namespace tx::txc {

namespace x86 = ::txc::x86;

inline bool isComparison(BinaryOp op) {
    return op >= BinaryOp::Eq && op <= BinaryOp::Ge;
}

// A local variable or parameter of a function (or of the main program).
struct LocalVar {
    std::string name;
    ValueType type;
    int32_t offset = 0;  // ebp-relative cell
    bool inRegister = false;
    x86::Reg reg = x86::Reg::ebx;
    bool param = false;
    int32_t vectorCount = 0;
    std::string vectorSymbol;
    double weight = 0;  // uses, weighted by loop depth
};

// The variable an expression names: where its cell is and what it holds.
struct VarRef {
    ValueType type;
    bool inRegister = false;
    x86::Reg reg = x86::Reg::ebx;
    x86::Mem cell;  // when not in a register
    int32_t vectorCount = 0;
    std::string vectorSymbol;
};

class CodeGenerator {
public:
    CodeGenerator(const Program& program, const CommandCatalog& commands,
                  const CompileOptions& options, Diagnostics& diagnostics,
                  const std::vector<std::string>& files);
    // Generates everything; the code is meaningful only when no error was reported.
    x86::EncodedCode generate();

private:
    // The function being generated, or the main program.
    struct Frame {
        const FunctionDecl* function = nullptr;
        const FunctionInfo* info = nullptr;
        std::map<std::string, LocalVar> locals;  // by folded name
        std::unordered_map<const Stmt*, int32_t> temps;
        int32_t size = 0;  // bytes below ebp
        int32_t resultOffset = 0;
        std::vector<x86::Reg> saved;
        x86::Label leave;
        std::vector<x86::Label> loopExits;
        std::map<std::string, x86::Label> labels;
    };

    // frame_planner.cpp: locals, temporaries and registers of a body, before generating it.
    void planFrame(Frame& frame, const Block& body);
    void planBlock(Frame& frame, const Block& block, int depth);
    void planStmt(Frame& frame, const Stmt& stmt, int depth);
    void planExpr(Frame& frame, const Expr& expr, int depth);
    void planName(Frame& frame, const std::string& name, const TypeTag& tag, SourcePos pos,
                  int depth);
    int32_t allocate(Frame& frame, int32_t bytes);

    // generate_program.cpp: bodies, prologues, epilogues and the static data.
    void generateMain();
    void generateFunction(const FunctionInfo& info);
    void prologue();
    void epilogue();
    void emitData();
    void emitStatementHook(SourcePos pos);
    x86::Label stringLiteral(const std::string& bytes);
    x86::Mem floatConstant(float value);
    x86::Label errorStub(const char* routine);
    std::string uniqueName();

    // generate_statement.cpp
    void block(const Block& body);
    void loopBody(const Block& body, x86::Label exit);  // Exit inside it jumps to exit
    void statement(const Stmt& stmt);
    void assign(const Expr& target, const Expr& value, SourcePos pos);
    void storeInto(const Expr& target, ValueType valueType);  // the value in eax or st(0)
    void ifStmt(const IfStmt& stmt);
    void forStmt(const Stmt& stmt, const ForStmt& loop);
    void forEachStmt(const ForEachStmt& loop, SourcePos pos);
    void selectStmt(const Stmt& stmt, const SelectStmt& select);
    void varDecl(const VarDeclStmt& decl);
    void dimStmt(const DimStmt& dim);
    void callStatement(const CallStmt& call, SourcePos pos);
    void readStmt(const ReadStmt& read);
    void gotoStmt(const GotoStmt& jump, SourcePos pos);
    x86::Label programLabel(const std::string& name);
    void returnStmt(const ReturnStmt& ret, SourcePos pos);

    // generate_expression.cpp
    ValueType typeOf(const Expr& expr);
    ValueType generate(const Expr& expr);  // the value in eax or st(0)
    void generateAs(const Expr& expr, ValueType want, SourcePos pos);
    void convert(ValueType from, ValueType to, SourcePos pos);
    void pushValue(const Expr& expr, ValueType want);  // converted, as a 4-byte argument
    void branch(const Expr& condition, bool when, x86::Label target);
    ValueType binary(const Expr& expr, const BinaryExpr& op);
    // Sets the flags for a comparison; the condition under which it holds.
    x86::Cond compare(const BinaryExpr& op, SourcePos pos);
    bool isPureBoolean(const Expr& expr) const;
    ValueType call(const std::string& name, const ExprList& args, SourcePos pos, bool statement);
    ValueType callCommand(const CommandInfo& command, const ExprList& args, SourcePos pos);
    ValueType callFunction(const FunctionInfo& function, const ExprList& args, SourcePos pos);
    ValueType intrinsic(const std::string& folded, const ExprList& args, SourcePos pos,
                        bool& found);
    ValueType loadVariable(const VarRef& var);
    void elementAddress(const Expr& expr, ValueType& element);  // the cell's address in eax
    void arrayAddress(const ArrayInfo& array, const ExprList& args, SourcePos pos);
    void fieldAddress(const FieldExpr& field, SourcePos pos, ValueType& type,
                      const FieldInfo*& info);
    void vectorElement(const Expr& base, const Expr& index, SourcePos pos, ValueType& element);
    void loadFromAddress(ValueType type);  // the cell at eax into eax or st(0)
    void checkObject(SourcePos pos);       // debug builds: eax must be an object that exists
    void release(ValueType type);          // drops a value left in eax or st(0)
    // An integer in memory onto the FPU, rounded to single precision as every integer that meets
    // a float is (16777217 becomes 16777216).
    void fildRounded(const x86::Mem& integer);
    bool isSimpleInt(const Expr& expr, x86::Operand& operand);
    bool isSimpleFloat(const Expr& expr, x86::Mem& operand);
    // An element or field whose address comes without calls, using eax and ecx only: a field of
    // a variable, or an element whose indices are simple.
    bool isPureAddress(const Expr& expr);
    // An index that is an integer local in a register, plus or minus a constant.
    bool registerIndex(const Expr& expr, x86::Reg& reg, int32_t& offset);
    std::optional<VarRef> findVariable(const std::string& name);
    VarRef variable(const std::string& name, const TypeTag& tag, SourcePos pos);
    void addressOfCell(const VarRef& var);  // the cell's address in eax
    void callRoutine(const std::string& symbol, int32_t argumentBytes);

    void error(SourcePos pos, std::string message) { diagnostics_.error(pos, std::move(message)); }

    const Program& program_;
    const CommandCatalog& commands_;
    CompileOptions options_;
    Diagnostics& diagnostics_;
    const std::vector<std::string>& files_;
    ProgramSymbols symbols_;
    x86::Encoder code_;
    Frame* frame_ = nullptr;
    std::map<std::string, x86::Label> strings_;
    std::map<uint32_t, x86::Label> floats_;
    std::map<std::string, x86::Label> stubs_;
    std::vector<x86::Label> fileNames_;
    uint32_t nextName_ = 0;
};

}  // namespace tx::txc
