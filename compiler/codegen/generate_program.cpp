// The program as a whole: __MAIN, the functions with their frames, and the static data after
// the code.
#include <algorithm>
#include <bit>
#include <stdexcept>

#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

namespace {

// The element kinds of Dim array descriptors. Arrays of objects use the kind whose references
// the runtime releases, as their elements hold counted references.
int32_t arrayKind(ValueType element) {
    switch (element.kind) {
        case ValueType::Kind::Float:
            return 2;
        case ValueType::Kind::String:
            return 3;
        case ValueType::Kind::Object:
            return 5;
        default:
            return 1;
    }
}

std::string typeSymbol(ValueType type) {
    switch (type.kind) {
        case ValueType::Kind::Float:
            return "__txFltType";
        case ValueType::Kind::String:
            return "__txStrType";
        case ValueType::Kind::Object:
            return type.object->symbol;
        default:
            return "__txIntType";
    }
}

}  // namespace

CodeGenerator::CodeGenerator(const Program& program, const CommandCatalog& commands,
                             const CompileOptions& options, Diagnostics& diagnostics,
                             const std::vector<std::string>& files)
    : program_(program),
      commands_(commands),
      options_(options),
      diagnostics_(diagnostics),
      files_(files),
      symbols_(program, diagnostics) {}

std::string CodeGenerator::uniqueName() {
    return "_" + std::to_string(nextName_++);
}

Label CodeGenerator::stringLiteral(const std::string& bytes) {
    auto [it, added] = strings_.emplace(bytes, Label{});
    if (added) it->second = code_.newLabel(uniqueName());
    return it->second;
}

Mem CodeGenerator::floatConstant(float value) {
    auto [it, added] = floats_.emplace(std::bit_cast<uint32_t>(value), Label{});
    if (added) it->second = code_.newLabel(uniqueName());
    return ptrLabel(Width::dword, it->second);
}

Label CodeGenerator::errorStub(const char* routine) {
    auto [it, added] = stubs_.emplace(routine, Label{});
    if (added) it->second = code_.newLabel();
    return it->second;
}

void CodeGenerator::emitStatementHook(SourcePos pos) {
    while (fileNames_.size() <= pos.file) fileNames_.push_back(code_.newLabel(uniqueName()));
    code_.push(addressOf(fileNames_[pos.file]));
    code_.push(static_cast<int32_t>(pos.line));
    callRoutine("__txDebugStmt", 8);
}

void CodeGenerator::prologue() {
    Frame& f = *frame_;
    f.leave = code_.newLabel();
    code_.push(Reg::ebp);
    code_.mov(Reg::ebp, Reg::esp);
    if (f.size != 0) code_.sub(Reg::esp, f.size);
    for (Reg reg : f.saved) code_.push(reg);
    code_.xor_(Reg::eax, Reg::eax);
    if (f.info != nullptr) code_.mov(dword(Reg::ebp, f.resultOffset), Reg::eax);
    for (const auto& [name, var] : f.locals) {
        if (var.param) continue;
        if (var.inRegister) code_.xor_(var.reg, var.reg);
        if (!var.inRegister || var.type.kind == ValueType::Kind::Object)
            code_.mov(dword(Reg::ebp, var.offset), Reg::eax);
    }
    for (const auto& [name, var] : f.locals) {
        if (var.param && var.inRegister) code_.mov(var.reg, dword(Reg::ebp, var.offset));
        if (var.param && var.type.kind == ValueType::Kind::Object) {
            // The parameter holds a counted reference of its own while the function runs.
            code_.mov(Reg::eax, dword(Reg::ebp, var.offset));
            code_.mov(dword(Reg::ebp, var.offset), 0);
            code_.push(Reg::eax);
            code_.lea(Reg::eax, dword(Reg::ebp, var.offset));
            code_.push(Reg::eax);
            callRoutine("__txObjStore", 8);
        }
        if (var.vectorCount != 0) {
            code_.push(addressOf(var.vectorSymbol));
            callRoutine("__txVecAlloc", 4);
            code_.mov(dword(Reg::ebp, var.offset), Reg::eax);
        }
    }
}

void CodeGenerator::epilogue() {
    Frame& f = *frame_;
    code_.bind(f.leave);
    for (const auto& [name, var] : f.locals) {
        const Mem cell = dword(Reg::ebp, var.offset);
        if (var.vectorCount != 0) {
            code_.push(addressOf(var.vectorSymbol));
            code_.push(cell);
            callRoutine("__txVecFree", 8);
        } else if (var.type.kind == ValueType::Kind::String) {
            code_.push(cell);
            callRoutine("__txStrRelease", 4);
        } else if (var.type.kind == ValueType::Kind::Object) {
            code_.push(cell);
            callRoutine("__txObjRelease", 4);
        }
    }
    if (f.info != nullptr) {
        const Mem result = dword(Reg::ebp, f.resultOffset);
        if (f.info->result.kind == ValueType::Kind::Float) {
            code_.fld(result);
        } else {
            code_.mov(Reg::eax, result);
            if (f.info->result.kind == ValueType::Kind::String) {
                // Falling off the end returns "": a string the caller owns, never none.
                const Label done = code_.newLabel();
                code_.test(Reg::eax, Reg::eax);
                code_.jcc(Cond::ne, done);
                code_.push(addressOf(stringLiteral("")));
                callRoutine("__txStrConst", 4);
                code_.bind(done);
            }
        }
    }
    if (!f.saved.empty()) {
        code_.lea(Reg::esp, dword(Reg::ebp, -f.size - 4 * static_cast<int32_t>(f.saved.size())));
        for (auto it = f.saved.rbegin(); it != f.saved.rend(); ++it) code_.pop(*it);
    }
    code_.leave();
    code_.ret();
}

void CodeGenerator::generateMain() {
    Frame frame;
    planFrame(frame, program_.main);
    frame_ = &frame;
    code_.defineSymbol("__MAIN");
    prologue();
    for (const auto& [name, global] : symbols_.globals()) {
        if (global.vectorCount == 0) continue;
        code_.push(addressOf(global.vectorSymbol));
        callRoutine("__txVecAlloc", 4);
        code_.mov(ptrSym(Width::dword, global.symbol), Reg::eax);
    }
    code_.push(addressOf("__DATA"));
    callRoutine("__txRestore", 4);
    block(program_.main);
    epilogue();
    frame_ = nullptr;
}

void CodeGenerator::generateFunction(const FunctionInfo& info) {
    if (const CommandInfo* command = commands_.find(info.decl->name)) {
        error(info.decl->pos, "the function '" + info.decl->name +
                                  "' has the name of the command '" + command->name +
                                  "'; choose another name");
    }
    Frame frame;
    frame.function = info.decl;
    frame.info = &info;
    planFrame(frame, info.decl->body);
    frame_ = &frame;
    code_.defineSymbol(info.symbol);
    prologue();
    block(info.decl->body);
    epilogue();
    frame_ = nullptr;
}

void CodeGenerator::emitData() {
    for (const auto& [routine, label] : stubs_) {
        code_.bind(label);
        code_.call(routine);
    }
    code_.align(4, 0);
    code_.defineSymbol("__DATA");
    for (const Expr* value : program_.declarations.data) {
        if (std::holds_alternative<NullLiteral>(value->node)) {
            code_.dd(imm(1));
            code_.dd(imm(0));
            continue;
        }
        const std::optional<ConstValue> v = symbols_.evaluate(*value, true);
        if (!v) continue;
        if (const auto* i = std::get_if<int32_t>(&*v)) {
            code_.dd(imm(1));
            code_.dd(imm(*i));
        } else if (const auto* f = std::get_if<float>(&*v)) {
            code_.dd(imm(2));
            code_.dd(imm(std::bit_cast<int32_t>(*f)));
        } else {
            code_.dd(imm(4));
            code_.dd(addressOf(stringLiteral(std::get<std::string>(*v))));
        }
    }
    code_.dd(imm(0));
    code_.dd(imm(0));

    for (const auto& [name, global] : symbols_.globals()) {
        code_.defineSymbol(global.symbol);
        code_.dd(imm(0));
    }
    for (const auto& [name, array] : symbols_.arrays()) {
        code_.defineSymbol(array.symbol);
        code_.dd(imm(0));
        code_.dd(imm(arrayKind(array.element)));
        code_.dd(imm(array.dimensions));
        for (int32_t k = 0; k < 2 * array.dimensions; ++k) code_.dd(imm(0));  // scales, counts
    }
    for (const auto& type : symbols_.types()) {
        code_.defineSymbol(type->symbol);
        code_.dd(imm(5));
        for (int list = 0; list < 2; ++list) {  // the used and the free list's sentinels
            const Label sentinel = code_.newLabel(uniqueName());
            code_.bind(sentinel);
            code_.dd(imm(0));
            code_.dd(addressOf(sentinel));
            code_.dd(addressOf(sentinel));
            code_.dd(imm(0));
            code_.dd(imm(-1));
        }
        code_.dd(imm(static_cast<int32_t>(type->fields.size())));
        for (const FieldInfo& field : type->fields) {
            code_.dd(
                addressOf(field.vectorCount != 0 ? field.vectorSymbol : typeSymbol(field.type)));
        }
    }
    for (const VectorTypeInfo& vector : symbols_.vectorTypes()) {
        code_.defineSymbol(vector.symbol);
        code_.dd(imm(6));
        code_.dd(imm(vector.count));
        code_.dd(addressOf(typeSymbol(vector.element)));
    }
    for (const auto& [bits, label] : floats_) {
        code_.bind(label);
        code_.dd(imm(static_cast<int32_t>(bits)));
    }
    for (size_t i = 0; i < fileNames_.size(); ++i) {
        code_.bind(fileNames_[i]);
        code_.asciz(i < files_.size() ? files_[i] : std::string("?"));
    }
    for (const auto& [bytes, label] : strings_) {
        code_.bind(label);
        code_.asciz(bytes);
    }
}

EncodedCode CodeGenerator::generate() {
    generateMain();
    for (const auto& [name, info] : symbols_.functions()) generateFunction(info);
    emitData();
    return code_.finish();
}

}  // namespace tx::txc
