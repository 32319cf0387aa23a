// Calls of commands and functions, and the cells of array elements, vector elements and fields.
#include <bit>
#include <cmath>

#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

namespace {

std::string parameterCount(size_t n) {
    return n == 1 ? "1 parameter" : std::to_string(n) + " parameters";
}

// "takes 2 parameters", "takes 2 to 4 parameters"
std::string takes(size_t required, size_t all) {
    return required == all
               ? parameterCount(all)
               : std::to_string(required) + " to " + std::to_string(all) + " parameters";
}

}  // namespace

ValueType CodeGenerator::call(const std::string& name, const ExprList& args, SourcePos pos,
                              bool statement) {
    if (const ArrayInfo* array = symbols_.findArray(name)) {
        if (statement) {
            error(pos, "'" + name + "' is an array; an element alone is not a statement");
            return ValueType::none();
        }
        arrayAddress(*array, args, pos);
        loadFromAddress(array->element);
        return array->element;
    }
    if (const FunctionInfo* function = symbols_.findFunction(name))
        return callFunction(*function, args, pos);
    if (const CommandInfo* command = commands_.find(name)) {
        if (!statement && command->resultSigil == 0) {
            error(pos,
                  "'" + command->name + "' gives no value, so it cannot be used in an expression");
            callCommand(*command, args, pos);
            return ValueType::integer();  // reported once
        }
        return callCommand(*command, args, pos);
    }
    bool found = false;
    const ValueType type = intrinsic(foldCase(name), args, pos, found);
    if (found) return type;
    if (findVariable(name)) {
        error(pos, "'" + name + "' is a variable, not a function or an array");
    } else {
        error(pos, "there is no function, command or array called '" + name + "'");
    }
    return ValueType::integer();
}

ValueType CodeGenerator::intrinsic(const std::string& folded, const ExprList& args, SourcePos pos,
                                   bool& found) {
    found = folded == "abs" || folded == "sgn";
    if (!found) return ValueType::integer();
    if (args.size() != 1) {
        error(pos, std::string(folded == "abs" ? "Abs" : "Sgn") + " takes 1 parameter");
        return ValueType::integer();
    }
    const ValueType type = typeOf(*args[0]);
    if (type.kind == ValueType::Kind::Float) {
        generate(*args[0]);
        if (folded == "abs") {
            code_.fabs();
        } else {
            code_.sub(Reg::esp, 4);
            code_.fstp(dword(Reg::esp));
            callRoutine("__txFSgn", 4);
        }
        return type;
    }
    generateAs(*args[0], ValueType::integer(), pos);
    if (folded == "abs") {  // -2147483648 stays itself, as two's complement wraps
        code_.cdq();
        code_.xor_(Reg::eax, Reg::edx);
        code_.sub(Reg::eax, Reg::edx);
    } else {
        code_.push(Reg::eax);
        callRoutine("__txSgn", 4);
    }
    return ValueType::integer();
}

ValueType CodeGenerator::callCommand(const CommandInfo& command, const ExprList& args,
                                     SourcePos pos) {
    const auto& params = command.params;
    size_t required = 0;
    while (required < params.size() && !params[required].defaultValue) ++required;
    if (args.size() > params.size() || args.size() < required) {
        error(pos, "'" + command.name + "' takes " + takes(required, params.size()) + ", not " +
                       std::to_string(args.size()));
        return typeOfSigil(command.resultSigil);
    }
    for (size_t i = params.size(); i-- > 0;) {
        const ValueType want = typeOfSigil(params[i].sigil);
        if (i < args.size()) {
            const ValueType given = typeOf(*args[i]);
            if (given.isObjectLike() && want.kind != ValueType::Kind::String) {
                error(args[i]->pos, "'" + command.name + "' takes a number here, not " +
                                        describe(given) + "; use Handle() for its handle");
            }
            pushValue(*args[i], want);
            continue;
        }
        const std::string& value = *params[i].defaultValue;
        if (want.kind == ValueType::Kind::String) {
            code_.push(addressOf(stringLiteral(value)));
            callRoutine("__txStrConst", 4);
            code_.push(Reg::eax);
        } else {
            const int32_t number = static_cast<int32_t>(std::stol(value));
            code_.push(want.kind == ValueType::Kind::Float
                           ? std::bit_cast<int32_t>(static_cast<float>(number))
                           : number);
        }
    }
    callRoutine(command.linkKey, static_cast<int32_t>(4 * params.size()));
    return typeOfSigil(command.resultSigil);
}

ValueType CodeGenerator::callFunction(const FunctionInfo& function, const ExprList& args,
                                      SourcePos pos) {
    const size_t count = function.params.size();
    size_t required = 0;
    while (required < count && !function.defaults[required] && !function.nullDefault[required])
        ++required;
    if (args.size() > count || args.size() < required) {
        error(pos, "'" + function.decl->name + "' takes " + takes(required, count) + ", not " +
                       std::to_string(args.size()));
        return function.result;
    }
    for (size_t i = count; i-- > 0;) {
        const ValueType want = function.params[i];
        if (i < args.size()) {
            generateAs(*args[i], want, args[i]->pos);
            if (want.kind == ValueType::Kind::Float) {
                code_.sub(Reg::esp, 4);
                code_.fstp(dword(Reg::esp));
            } else {
                code_.push(Reg::eax);
            }
            continue;
        }
        if (function.nullDefault[i]) {
            code_.push(0);
            continue;
        }
        const ConstValue& value = *function.defaults[i];
        if (want.kind == ValueType::Kind::String) {
            code_.push(addressOf(stringLiteral(std::get<std::string>(value))));
            callRoutine("__txStrConst", 4);
            code_.push(Reg::eax);
        } else if (want.kind == ValueType::Kind::Float) {
            const float f = std::holds_alternative<float>(value)
                                ? std::get<float>(value)
                                : static_cast<float>(std::get<int32_t>(value));
            code_.push(std::bit_cast<int32_t>(f));
        } else {
            const int32_t n = std::holds_alternative<int32_t>(value)
                                  ? std::get<int32_t>(value)
                                  : static_cast<int32_t>(std::nearbyint(std::get<float>(value)));
            code_.push(n);
        }
    }
    callRoutine(function.symbol, static_cast<int32_t>(4 * count));
    return function.result;
}

void CodeGenerator::arrayAddress(const ArrayInfo& array, const ExprList& args, SourcePos pos) {
    const int32_t d = array.dimensions;
    if (static_cast<int32_t>(args.size()) != d) {
        error(pos, "the array '" + array.decl->name + "' has " + std::to_string(d) +
                       (d == 1 ? " dimension" : " dimensions") + ", not " +
                       std::to_string(args.size()));
        return;
    }
    const std::string& sym = array.symbol;
    const int32_t counts = 12 + 4 * d;  // per-dimension element counts kept after the scales
    const auto check = [&](int32_t k, const Operand& index) {
        if (!options_.debug) return;
        code_.cmp(index, ptrSym(Width::dword, sym, counts + 4 * k));
        code_.jcc(Cond::ae, errorStub("__txArrayBoundsEx"));
    };
    Operand simple(0);
    Reg index = Reg::ecx;
    int32_t offset = 0;
    if (d == 1 && registerIndex(*args[0], index, offset)) {
        if (options_.debug && offset != 0) {
            code_.lea(Reg::ecx, ptr(Width::dword, index, offset));
            check(0, Reg::ecx);
        } else {
            check(0, index);
        }
        code_.mov(Reg::eax, ptrSym(Width::dword, sym));
        code_.lea(Reg::eax, ptr(Width::dword, Reg::eax, index, 4, 4 * offset));
        return;
    }
    if (d == 1 && isSimpleInt(*args[0], simple) && simple.kind == Operand::Kind::imm) {
        code_.mov(Reg::ecx, simple);
        check(0, Reg::ecx);
        code_.mov(Reg::eax, ptrSym(Width::dword, sym));
        code_.lea(Reg::eax, ptr(Width::dword, Reg::eax, Reg::ecx, 4));
        return;
    }
    generateAs(*args[0], ValueType::integer(), args[0]->pos);
    check(0, Reg::eax);
    for (int32_t k = 1; k < d; ++k) {
        code_.push(Reg::eax);
        generateAs(*args[k], ValueType::integer(), args[k]->pos);
        check(k, Reg::eax);
        code_.imul(Reg::eax, ptrSym(Width::dword, sym, 12 + 4 * (k - 1)));
        code_.pop(Reg::ecx);
        code_.add(Reg::eax, Reg::ecx);
    }
    code_.mov(Reg::ecx, ptrSym(Width::dword, sym));
    code_.lea(Reg::eax, ptr(Width::dword, Reg::ecx, Reg::eax, 4));
}

void CodeGenerator::fieldAddress(const FieldExpr& field, SourcePos pos, ValueType& type,
                                 const FieldInfo*& info) {
    const ValueType object = generate(*field.object);
    info = nullptr;
    type = ValueType::integer();
    if (object.kind != ValueType::Kind::Object || object.object == nullptr) {
        error(pos, "only an object has fields; this is " + describe(object));
        release(object);
        return;
    }
    int32_t index = 0;
    info = object.object->findField(field.field, index);
    if (info == nullptr) {
        error(pos,
              "the type " + object.object->name + " has no field called '" + field.field + "'");
        return;
    }
    type = info->type;
    if (field.tag.present()) {
        const ValueType tagged = symbols_.typeOfTag(field.tag, pos, type);
        if (!(tagged == type))
            error(pos, "the field '" + field.field + "' is " + describe(type) + ", not " +
                           describe(tagged));
    }
    checkObject(pos);
    code_.mov(Reg::eax, dword(Reg::eax));  // the fields; none once the object was deleted
    checkObject(pos);
    if (index != 0) code_.add(Reg::eax, 4 * index);
}

void CodeGenerator::vectorElement(const Expr& base, const Expr& index, SourcePos pos,
                                  ValueType& element) {
    int32_t count = 0;
    element = ValueType::integer();
    if (const auto* name = std::get_if<NameExpr>(&base.node)) {
        std::optional<VarRef> var = findVariable(name->name);
        if (!var || var->vectorCount == 0) {
            error(pos, "'" + name->name + "' is not a vector");
            return;
        }
        element = var->type;
        count = var->vectorCount;
        code_.mov(Reg::eax, var->cell);
    } else if (const auto* field = std::get_if<FieldExpr>(&base.node)) {
        const FieldInfo* info = nullptr;
        fieldAddress(*field, base.pos, element, info);
        if (info == nullptr) return;
        if (info->vectorCount == 0) {
            error(pos, "the field '" + field->field + "' is not a vector");
            return;
        }
        count = info->vectorCount;
        code_.mov(Reg::eax, dword(Reg::eax));
    } else {
        error(pos, "only a vector can be indexed with [ ]");
        return;
    }
    Operand simple(0);
    Reg reg = Reg::ecx;
    int32_t offset = 0;
    if (registerIndex(index, reg, offset) && offset != 0) {
        if (options_.debug) {
            code_.lea(Reg::ecx, ptr(Width::dword, reg, offset));
            code_.cmp(Reg::ecx, count);
            code_.jcc(Cond::ae, errorStub("__txVecBoundsEx"));
        }
        code_.lea(Reg::eax, ptr(Width::dword, Reg::eax, reg, 4, 4 * offset));
        return;
    }
    if (isSimpleInt(index, simple) && simple.kind != Operand::Kind::mem) {
        if (simple.kind == Operand::Kind::imm) {
            if (options_.debug && (simple.immediate.value < 0 || simple.immediate.value >= count))
                code_.jmp(errorStub("__txVecBoundsEx"));
            if (simple.immediate.value != 0) code_.add(Reg::eax, 4 * simple.immediate.value);
            return;
        }
        const Reg reg = static_cast<Reg>(simple.code);
        if (options_.debug) {
            code_.cmp(reg, count);
            code_.jcc(Cond::ae, errorStub("__txVecBoundsEx"));
        }
        code_.lea(Reg::eax, ptr(Width::dword, Reg::eax, reg, 4));
        return;
    }
    code_.push(Reg::eax);
    generateAs(index, ValueType::integer(), index.pos);
    if (options_.debug) {
        code_.cmp(Reg::eax, count);
        code_.jcc(Cond::ae, errorStub("__txVecBoundsEx"));
    }
    code_.pop(Reg::ecx);
    code_.lea(Reg::eax, ptr(Width::dword, Reg::ecx, Reg::eax, 4));
}

bool CodeGenerator::registerIndex(const Expr& expr, Reg& reg, int32_t& offset) {
    Operand operand(0);
    if (isSimpleInt(expr, operand)) {
        if (operand.kind != Operand::Kind::reg) return false;
        reg = static_cast<Reg>(operand.code);
        offset = 0;
        return true;
    }
    const auto* sum = std::get_if<BinaryExpr>(&expr.node);
    if (sum == nullptr || (sum->op != BinaryOp::Add && sum->op != BinaryOp::Sub)) return false;
    Operand a(0);
    Operand b(0);
    if (!isSimpleInt(*sum->lhs, a) || !isSimpleInt(*sum->rhs, b)) return false;
    if (sum->op == BinaryOp::Add && a.kind == Operand::Kind::imm) std::swap(a, b);
    if (a.kind != Operand::Kind::reg || b.kind != Operand::Kind::imm) return false;
    const int64_t c =
        sum->op == BinaryOp::Add ? int64_t{b.immediate.value} : -int64_t{b.immediate.value};
    if (c < -(1 << 24) || c > (1 << 24)) return false;  // 4 * c must fit a displacement
    reg = static_cast<Reg>(a.code);
    offset = static_cast<int32_t>(c);
    return true;
}

bool CodeGenerator::isPureAddress(const Expr& expr) {
    Operand ignored(0);
    Reg reg = Reg::ecx;
    int32_t offset = 0;
    if (const auto* field = std::get_if<FieldExpr>(&expr.node))
        return std::holds_alternative<NameExpr>(field->object->node);
    if (const auto* index = std::get_if<IndexExpr>(&expr.node)) {
        return (isSimpleInt(*index->index, ignored) || registerIndex(*index->index, reg, offset)) &&
               (std::holds_alternative<NameExpr>(index->base->node) || isPureAddress(*index->base));
    }
    if (const auto* element = std::get_if<CallExpr>(&expr.node)) {
        if (symbols_.findArray(element->name) == nullptr) return false;
        for (const ExprPtr& arg : element->args)
            if (!isSimpleInt(*arg, ignored) && !registerIndex(*arg, reg, offset)) return false;
        return true;
    }
    return false;
}

void CodeGenerator::elementAddress(const Expr& expr, ValueType& element) {
    if (const auto* index = std::get_if<IndexExpr>(&expr.node)) {
        vectorElement(*index->base, *index->index, expr.pos, element);
    } else if (const auto* field = std::get_if<FieldExpr>(&expr.node)) {
        const FieldInfo* info = nullptr;
        fieldAddress(*field, expr.pos, element, info);
        if (info != nullptr && info->vectorCount != 0) {
            error(expr.pos, "the field '" + field->field +
                                "' is a vector; name an element, as in " + field->field + "[0]");
        }
    } else if (const auto* callExpr = std::get_if<CallExpr>(&expr.node)) {
        const ArrayInfo* array = symbols_.findArray(callExpr->name);
        element = array ? array->element : ValueType::integer();
        if (array == nullptr) {
            error(expr.pos, "'" + callExpr->name + "' is not an array");
            return;
        }
        arrayAddress(*array, callExpr->args, expr.pos);
    } else {
        element = ValueType::integer();
        error(expr.pos, "this cannot be assigned to");
    }
}

}  // namespace tx::txc
