// Expressions: their types, their values in eax or st(0), and conditions compiled to jumps.
#include <bit>
#include <cmath>
#include <cstring>

#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

namespace {

bool isIntegerOnly(BinaryOp op) {
    return op == BinaryOp::Shl || op == BinaryOp::Shr || op == BinaryOp::Sar ||
           op == BinaryOp::And || op == BinaryOp::Or || op == BinaryOp::Xor;
}

const char* operatorText(BinaryOp op) {
    static const char* const texts[] = {"^", "*",  "/", "Mod", "Shl", "Shr", "Sar", "+",  "-",
                                        "=", "<>", "<", ">",   "<=",  ">=",  "And", "Or", "Xor"};
    return texts[static_cast<int>(op)];
}

}  // namespace

std::optional<VarRef> CodeGenerator::findVariable(const std::string& name) {
    const std::string folded = foldCase(name);
    if (frame_ != nullptr) {
        const auto it = frame_->locals.find(folded);
        if (it != frame_->locals.end()) {
            const LocalVar& local = it->second;
            VarRef ref{local.type,        local.inRegister,
                       local.reg,         dword(Reg::ebp, local.offset),
                       local.vectorCount, local.vectorSymbol};
            return ref;
        }
    }
    if (const GlobalInfo* global = symbols_.findGlobal(name)) {
        return VarRef{global->type,
                      false,
                      Reg::ebx,
                      ptrSym(Width::dword, global->symbol),
                      global->vectorCount,
                      global->vectorSymbol};
    }
    return std::nullopt;
}

// The variable a name designates where it is assigned or read; reports a tag that disagrees
// with the variable's type.
VarRef CodeGenerator::variable(const std::string& name, const TypeTag& tag, SourcePos pos) {
    std::optional<VarRef> ref = findVariable(name);
    if (!ref) {  // only after an error: the planner declares every name
        error(pos, "'" + name + "' is not a variable");
        return VarRef{ValueType::integer(), false, Reg::ebx, ptrSym(Width::dword, "_0"), 0, {}};
    }
    if (tag.present()) {
        const ValueType tagged = symbols_.typeOfTag(tag, pos, ref->type);
        if (!(tagged == ref->type)) {
            error(pos, "'" + name + "' is " + describe(ref->type) + ", not " + describe(tagged));
        }
    }
    return *ref;
}

void CodeGenerator::addressOfCell(const VarRef& var) {
    if (!var.cell.target.none()) {
        code_.mov(Reg::eax, Imm{var.cell.disp, var.cell.target});
    } else {
        code_.lea(Reg::eax, var.cell);
    }
}

void CodeGenerator::callRoutine(const std::string& symbol, int32_t argumentBytes) {
    code_.call(symbol);
    if (argumentBytes != 0) code_.add(Reg::esp, argumentBytes);
}

ValueType CodeGenerator::typeOf(const Expr& expr) {
    return std::visit(
        [&](const auto& node) -> ValueType {
            using T = std::decay_t<decltype(node)>;
            if constexpr (std::is_same_v<T, IntLiteral>) {
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, FloatLiteral>) {
                return ValueType::floating();
            } else if constexpr (std::is_same_v<T, StringLiteral>) {
                return ValueType::string();
            } else if constexpr (std::is_same_v<T, NullLiteral>) {
                return ValueType::null();
            } else if constexpr (std::is_same_v<T, NameExpr>) {
                if (std::optional<VarRef> var = findVariable(node.name)) return var->type;
                if (const ConstValue* value = symbols_.findConst(node.name))
                    return txc::typeOf(*value);
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, CallExpr>) {
                if (const ArrayInfo* array = symbols_.findArray(node.name)) return array->element;
                if (const FunctionInfo* f = symbols_.findFunction(node.name)) return f->result;
                if (const CommandInfo* c = commands_.find(node.name))
                    return typeOfSigil(c->resultSigil);
                if (node.args.size() == 1) return typeOf(*node.args[0]);  // Abs, Sgn
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, IndexExpr>) {
                return typeOf(*node.base);
            } else if constexpr (std::is_same_v<T, FieldExpr>) {
                const ValueType object = typeOf(*node.object);
                int32_t index = 0;
                if (object.kind == ValueType::Kind::Object && object.object != nullptr) {
                    if (const FieldInfo* field = object.object->findField(node.field, index))
                        return field->type;
                }
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, TypeOpExpr>) {
                // An unknown type is reported where the expression is generated; integer
                // keeps the error from spreading.
                const TypeInfo* type = symbols_.findType(node.typeName);
                return type ? ValueType::of(type) : ValueType::error();
            } else if constexpr (std::is_same_v<T, ObjectOpExpr>) {
                return node.op == ObjectOp::Handle ? ValueType::integer() : typeOf(*node.operand);
            } else if constexpr (std::is_same_v<T, ObjectCastExpr>) {
                const TypeInfo* type = symbols_.findType(node.typeName);
                return type ? ValueType::of(type) : ValueType::error();
            } else if constexpr (std::is_same_v<T, ConvertExpr>) {
                return node.to == Conversion::Str   ? ValueType::string()
                       : node.to == Conversion::Int ? ValueType::integer()
                                                    : ValueType::floating();
            } else if constexpr (std::is_same_v<T, UnaryExpr>) {
                if (node.op == UnaryOp::BitNot || node.op == UnaryOp::Not)
                    return ValueType::integer();
                const ValueType operand = typeOf(*node.operand);
                return operand.kind == ValueType::Kind::Float ? operand : ValueType::integer();
            } else if constexpr (std::is_same_v<T, BinaryExpr>) {
                if (node.op == BinaryOp::Power) return ValueType::floating();
                if (isComparison(node.op) || isIntegerOnly(node.op)) return ValueType::integer();
                const ValueType a = typeOf(*node.lhs);
                const ValueType b = typeOf(*node.rhs);
                if (node.op == BinaryOp::Add &&
                    (a.kind == ValueType::Kind::String || b.kind == ValueType::Kind::String))
                    return ValueType::string();
                if (a.kind == ValueType::Kind::Float || b.kind == ValueType::Kind::Float)
                    return ValueType::floating();
                return ValueType::integer();
            }
        },
        expr.node);
}

bool CodeGenerator::isSimpleInt(const Expr& expr, Operand& operand) {
    if (const auto* literal = std::get_if<IntLiteral>(&expr.node)) {
        operand = Operand(literal->value);
        return true;
    }
    const auto* name = std::get_if<NameExpr>(&expr.node);
    if (name == nullptr) return false;
    if (std::optional<VarRef> var = findVariable(name->name)) {
        if (var->type.kind != ValueType::Kind::Int || var->vectorCount != 0 || name->tag.present())
            return false;
        operand = var->inRegister ? Operand(var->reg) : Operand(var->cell);
        return true;
    }
    if (const ConstValue* value = symbols_.findConst(name->name)) {
        if (const auto* i = std::get_if<int32_t>(value)) {
            operand = Operand(*i);
            return true;
        }
    }
    return false;
}

bool CodeGenerator::isSimpleFloat(const Expr& expr, Mem& operand) {
    if (const auto* literal = std::get_if<FloatLiteral>(&expr.node)) {
        operand = floatConstant(static_cast<float>(literal->value));
        return true;
    }
    if (const auto* literal = std::get_if<IntLiteral>(&expr.node)) {
        operand = floatConstant(static_cast<float>(literal->value));
        return true;
    }
    const auto* name = std::get_if<NameExpr>(&expr.node);
    if (name == nullptr) return false;
    if (std::optional<VarRef> var = findVariable(name->name)) {
        if (var->type.kind != ValueType::Kind::Float || var->vectorCount != 0 ||
            name->tag.present())
            return false;
        operand = var->cell;
        return true;
    }
    if (const ConstValue* value = symbols_.findConst(name->name)) {
        if (const auto* f = std::get_if<float>(value))
            operand = floatConstant(*f);
        else if (const auto* i = std::get_if<int32_t>(value))
            operand = floatConstant(static_cast<float>(*i));
        else
            return false;
        return true;
    }
    return false;
}

void CodeGenerator::fildRounded(const Mem& integer) {
    code_.fild(integer);
    code_.sub(Reg::esp, 4);
    code_.fstp(dword(Reg::esp));
    code_.fld(dword(Reg::esp));
    code_.add(Reg::esp, 4);
}

void CodeGenerator::release(ValueType type) {
    if (type.kind == ValueType::Kind::String) {
        code_.push(Reg::eax);
        callRoutine("__txStrRelease", 4);
    } else if (type.kind == ValueType::Kind::Float) {
        code_.fstp(st(0));
    }
}

void CodeGenerator::convert(ValueType from, ValueType to, SourcePos pos) {
    using K = ValueType::Kind;
    if (from == to || to.kind == K::Void || from.kind == K::Error || to.kind == K::Error) return;
    if (from.kind == K::Void) {
        error(pos, "this gives no value");
        return;
    }
    switch (to.kind) {
        case K::Int:
            if (from.kind == K::Float) {
                code_.sub(Reg::esp, 4);
                code_.fistp(dword(Reg::esp));
                code_.pop(Reg::eax);
                return;
            }
            if (from.kind == K::String) {
                code_.push(Reg::eax);
                callRoutine("__txStrToInt", 4);
                return;
            }
            break;
        case K::Float:
            if (from.kind == K::Int) {
                code_.push(Reg::eax);
                fildRounded(dword(Reg::esp));
                code_.add(Reg::esp, 4);
                return;
            }
            if (from.kind == K::String) {
                code_.push(Reg::eax);
                callRoutine("__txStrToFloat", 4);
                return;
            }
            break;
        case K::String:
            if (from.kind == K::Int) {
                code_.push(Reg::eax);
                callRoutine("__txStrFromInt", 4);
                return;
            }
            if (from.kind == K::Float) {
                code_.sub(Reg::esp, 4);
                code_.fstp(dword(Reg::esp));
                callRoutine("__txStrFromFloat", 4);
                return;
            }
            if (from.isObjectLike()) {
                code_.push(Reg::eax);
                callRoutine("__txObjToStr", 4);
                return;
            }
            break;
        case K::Object:
            if (from.kind == K::Null) return;
            break;
        default:
            break;
    }
    if (from.isObjectLike() && to.isNumber()) {
        error(pos, describe(from) + " cannot be used as a number; use Handle() to get its handle");
    } else if (to.kind == K::Object && from.isNumber()) {
        error(pos, "a number cannot be used as " + describe(to) + "; use Object." +
                       to.object->name + "() to turn a handle into an object");
    } else {
        error(pos, describe(from) + " cannot be used as " + describe(to));
    }
}

void CodeGenerator::generateAs(const Expr& expr, ValueType want, SourcePos pos) {
    if (want.kind == ValueType::Kind::Int) {
        Operand simple(0);
        if (isSimpleInt(expr, simple)) {
            if (simple.kind == Operand::Kind::imm && simple.immediate.value == 0)
                code_.xor_(Reg::eax, Reg::eax);
            else
                code_.mov(Reg::eax, simple);
            return;
        }
        if (const auto* literal = std::get_if<FloatLiteral>(&expr.node)) {
            code_.mov(Reg::eax, static_cast<int32_t>(std::nearbyint(literal->value)));
            return;
        }
    }
    if (want.kind == ValueType::Kind::Float) {
        const auto* i = std::get_if<IntLiteral>(&expr.node);
        if (i != nullptr && i->value == 0) return code_.fldz();
        if (i != nullptr && i->value == 1) return code_.fld1();
        Mem simple;
        if (isSimpleFloat(expr, simple)) return code_.fld(simple);
        const auto* name = std::get_if<NameExpr>(&expr.node);
        if (name != nullptr && !name->tag.present()) {
            std::optional<VarRef> var = findVariable(name->name);
            if (var && var->type.kind == ValueType::Kind::Int && !var->inRegister &&
                var->vectorCount == 0) {
                fildRounded(var->cell);
                return;
            }
        }
    }
    convert(generate(expr), want, pos);
}

void CodeGenerator::pushValue(const Expr& expr, ValueType want) {
    Operand simple(0);
    if (want.kind == ValueType::Kind::Int && isSimpleInt(expr, simple)) return code_.push(simple);
    if (want.kind == ValueType::Kind::Float) {
        if (const auto* f = std::get_if<FloatLiteral>(&expr.node))
            return code_.push(std::bit_cast<int32_t>(static_cast<float>(f->value)));
        if (const auto* i = std::get_if<IntLiteral>(&expr.node))
            return code_.push(std::bit_cast<int32_t>(static_cast<float>(i->value)));
        Mem mem;
        if (isSimpleFloat(expr, mem)) return code_.push(mem);
        generateAs(expr, want, expr.pos);
        code_.sub(Reg::esp, 4);
        code_.fstp(dword(Reg::esp));
        return;
    }
    generateAs(expr, want, expr.pos);
    code_.push(Reg::eax);
}

ValueType CodeGenerator::loadVariable(const VarRef& var) {
    switch (var.type.kind) {
        case ValueType::Kind::Float:
            code_.fld(var.cell);
            break;
        case ValueType::Kind::String:
            addressOfCell(var);
            code_.push(Reg::eax);
            callRoutine("__txStrLoad", 4);
            break;
        default:
            if (var.inRegister)
                code_.mov(Reg::eax, var.reg);
            else
                code_.mov(Reg::eax, var.cell);
            break;
    }
    return var.type;
}

void CodeGenerator::loadFromAddress(ValueType type) {
    switch (type.kind) {
        case ValueType::Kind::Float:
            code_.fld(dword(Reg::eax));
            break;
        case ValueType::Kind::String:
            code_.push(Reg::eax);
            callRoutine("__txStrLoad", 4);
            break;
        default:
            code_.mov(Reg::eax, dword(Reg::eax));
            break;
    }
}

void CodeGenerator::checkObject(SourcePos) {
    if (!options_.debug) return;
    code_.test(Reg::eax, Reg::eax);
    code_.jcc(Cond::e, errorStub("__txNullObjEx"));
}

ValueType CodeGenerator::generate(const Expr& expr) {
    return std::visit(
        [&](const auto& node) -> ValueType {
            using T = std::decay_t<decltype(node)>;
            if constexpr (std::is_same_v<T, IntLiteral>) {
                code_.mov(Reg::eax, node.value);
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, FloatLiteral>) {
                const float value = static_cast<float>(node.value);
                if (value == 0.0f && !std::signbit(value))
                    code_.fldz();
                else if (value == 1.0f)
                    code_.fld1();
                else
                    code_.fld(floatConstant(value));
                return ValueType::floating();
            } else if constexpr (std::is_same_v<T, StringLiteral>) {
                code_.push(addressOf(stringLiteral(node.bytes)));
                callRoutine("__txStrConst", 4);
                return ValueType::string();
            } else if constexpr (std::is_same_v<T, NullLiteral>) {
                code_.xor_(Reg::eax, Reg::eax);
                return ValueType::null();
            } else if constexpr (std::is_same_v<T, NameExpr>) {
                if (findVariable(node.name)) {
                    const VarRef var = variable(node.name, node.tag, expr.pos);
                    if (var.vectorCount != 0) {
                        error(expr.pos, "'" + node.name + "' is a vector; name an element, as in " +
                                            node.name + "[0]");
                    }
                    return loadVariable(var);
                }
                if (const ConstValue* value = symbols_.findConst(node.name)) {
                    if (const auto* i = std::get_if<int32_t>(value)) {
                        code_.mov(Reg::eax, *i);
                    } else if (const auto* f = std::get_if<float>(value)) {
                        code_.fld(floatConstant(*f));
                    } else {
                        code_.push(addressOf(stringLiteral(std::get<std::string>(*value))));
                        callRoutine("__txStrConst", 4);
                    }
                    return txc::typeOf(*value);
                }
                error(expr.pos, "'" + node.name + "' is not a variable");
                return ValueType::integer();
            } else if constexpr (std::is_same_v<T, CallExpr>) {
                return call(node.name, node.args, expr.pos, false);
            } else if constexpr (std::is_same_v<T, IndexExpr> || std::is_same_v<T, FieldExpr>) {
                ValueType element;
                elementAddress(expr, element);
                loadFromAddress(element);
                return element;
            } else if constexpr (std::is_same_v<T, TypeOpExpr>) {
                const TypeInfo* type = symbols_.findType(node.typeName);
                if (type == nullptr) {
                    error(expr.pos, "there is no type called '" + node.typeName + "'");
                    return ValueType::error();
                }
                code_.push(addressOf(type->symbol));
                callRoutine(node.op == TypeOp::New     ? "__txObjNew"
                            : node.op == TypeOp::First ? "__txObjFirst"
                                                       : "__txObjLast",
                            4);
                return ValueType::of(type);
            } else if constexpr (std::is_same_v<T, ObjectOpExpr>) {
                const ValueType operand = generate(*node.operand);
                if (!operand.isObjectLike()) {
                    error(expr.pos, std::string(node.op == ObjectOp::Handle  ? "Handle"
                                                : node.op == ObjectOp::After ? "After"
                                                                             : "Before") +
                                        " needs an object, not " + describe(operand));
                    release(operand);
                    return node.op == ObjectOp::Handle ? ValueType::integer() : ValueType::null();
                }
                if (node.op != ObjectOp::Handle) checkObject(expr.pos);
                code_.push(Reg::eax);
                callRoutine(node.op == ObjectOp::Handle  ? "__txObjToHandle"
                            : node.op == ObjectOp::After ? "__txObjNext"
                                                         : "__txObjPrev",
                            4);
                return node.op == ObjectOp::Handle ? ValueType::integer() : operand;
            } else if constexpr (std::is_same_v<T, ObjectCastExpr>) {
                const TypeInfo* type = symbols_.findType(node.typeName);
                if (type == nullptr) {
                    error(expr.pos, "there is no type called '" + node.typeName + "'");
                    return ValueType::error();
                }
                code_.push(addressOf(type->symbol));
                pushValue(*node.handle, ValueType::integer());
                callRoutine("__txObjFromHandle", 8);
                return ValueType::of(type);
            } else if constexpr (std::is_same_v<T, ConvertExpr>) {
                const ValueType want = typeOf(expr);
                const ValueType from = generate(*node.operand);
                if (from.isObjectLike() && want.kind != ValueType::Kind::String) {
                    error(expr.pos,
                          describe(from) + " cannot be converted to a number; use Handle()");
                    return want;
                }
                convert(from, want, expr.pos);
                return want;
            } else if constexpr (std::is_same_v<T, UnaryExpr>) {
                if (node.op == UnaryOp::Not) {
                    const Label done = code_.newLabel();
                    const Label isFalse = code_.newLabel();
                    branch(*node.operand, true, isFalse);
                    code_.mov(Reg::eax, 1);
                    code_.jmp(done);
                    code_.bind(isFalse);
                    code_.xor_(Reg::eax, Reg::eax);
                    code_.bind(done);
                    return ValueType::integer();
                }
                ValueType operand = typeOf(*node.operand);
                if (node.op == UnaryOp::BitNot || operand.kind != ValueType::Kind::Float) {
                    if (operand.kind != ValueType::Kind::Int &&
                        operand.kind != ValueType::Kind::Float)
                        error(expr.pos, "a sign or ~ needs a number, not " + describe(operand));
                    generateAs(*node.operand, ValueType::integer(), expr.pos);
                    if (node.op == UnaryOp::Negate) code_.neg(Reg::eax);
                    if (node.op == UnaryOp::BitNot) code_.not_(Reg::eax);
                    return ValueType::integer();
                }
                generate(*node.operand);
                if (node.op == UnaryOp::Negate) code_.fchs();
                return ValueType::floating();
            } else if constexpr (std::is_same_v<T, BinaryExpr>) {
                return binary(expr, node);
            }
        },
        expr.node);
}

ValueType CodeGenerator::binary(const Expr& expr, const BinaryExpr& op) {
    const SourcePos pos = expr.pos;
    if (isComparison(op.op)) {
        const Cond cond = compare(op, pos);
        code_.setcc(cond, Reg8::al);
        code_.movzx(Reg::eax, Reg8::al);
        return ValueType::integer();
    }
    if (std::optional<ConstValue> folded = symbols_.evaluate(expr, false)) {
        if (const auto* i = std::get_if<int32_t>(&*folded)) {
            code_.mov(Reg::eax, *i);
            return ValueType::integer();
        }
        if (const auto* f = std::get_if<float>(&*folded)) {
            code_.fld(floatConstant(*f));
            return ValueType::floating();
        }
    }
    const ValueType a = typeOf(*op.lhs);
    const ValueType b = typeOf(*op.rhs);
    const ValueType result = typeOf(expr);
    for (const ValueType t : {a, b}) {
        if (t.kind == ValueType::Kind::Error) return ValueType::error();
        if (t.isObjectLike() || t.kind == ValueType::Kind::Void) {
            error(pos, std::string("the operator ") + operatorText(op.op) + " does not apply to " +
                           describe(t));
            return result;
        }
    }
    if (result.kind == ValueType::Kind::String) {
        if (op.op != BinaryOp::Add) {
            error(pos, std::string("the operator ") + operatorText(op.op) +
                           " does not apply to strings");
            return result;
        }
        pushValue(*op.rhs, ValueType::string());
        pushValue(*op.lhs, ValueType::string());
        callRoutine("__txStrConcat", 8);
        return result;
    }
    if ((a.kind == ValueType::Kind::String || b.kind == ValueType::Kind::String) &&
        !isIntegerOnly(op.op) && op.op != BinaryOp::Power) {
        error(pos,
              std::string("the operator ") + operatorText(op.op) + " does not apply to strings");
        return result;
    }
    if (op.op == BinaryOp::Power ||
        (result.kind == ValueType::Kind::Float && op.op == BinaryOp::Mod)) {
        pushValue(*op.rhs, ValueType::floating());
        pushValue(*op.lhs, ValueType::floating());
        callRoutine(op.op == BinaryOp::Power ? "__txFPow" : "__txFMod", 8);
        return ValueType::floating();
    }
    if (result.kind == ValueType::Kind::Float) {
        // A float operand in memory (a variable, a constant, or a field or element whose address
        // needs no call) is used in place. When only the left one is, the right is computed
        // first and the operation reversed; when neither is, the left waits on the stack.
        const auto inPlace = [&](const Expr& e, Mem& m) {
            if (isSimpleFloat(e, m)) return 1;
            return typeOf(e).kind == ValueType::Kind::Float && isPureAddress(e) ? 2 : 0;
        };
        const auto operand = [&](const Expr& e, Mem& m, int how) {
            if (how == 2) {
                ValueType ignored;
                elementAddress(e, ignored);
                m = dword(Reg::eax);
            }
        };
        Mem simple;
        bool reversed = false;
        bool spilled = false;
        if (const int how = inPlace(*op.rhs, simple)) {
            generateAs(*op.lhs, result, pos);
            operand(*op.rhs, simple, how);
        } else if (const int lhsHow = inPlace(*op.lhs, simple)) {
            generateAs(*op.rhs, result, pos);
            operand(*op.lhs, simple, lhsHow);
            reversed = true;
        } else {
            generateAs(*op.lhs, result, pos);
            code_.sub(Reg::esp, 4);
            code_.fstp(dword(Reg::esp));
            generateAs(*op.rhs, result, pos);
            simple = dword(Reg::esp);
            reversed = spilled = true;
        }
        // st(0) = st(0) op m, or m op st(0) when reversed.
        switch (op.op) {
            case BinaryOp::Add:
                code_.fadd(simple);
                break;
            case BinaryOp::Mul:
                code_.fmul(simple);
                break;
            case BinaryOp::Sub:
                reversed ? code_.fsubr(simple) : code_.fsub(simple);
                break;
            default:  // Div
                reversed ? code_.fdivr(simple) : code_.fdiv(simple);
                break;
        }
        if (spilled) code_.add(Reg::esp, 4);
        return result;
    }
    // Integers.
    generateAs(*op.lhs, ValueType::integer(), pos);
    Operand rhs(0);
    if (!isSimpleInt(*op.rhs, rhs) && typeOf(*op.rhs).kind == ValueType::Kind::Int &&
        isPureAddress(*op.rhs)) {
        code_.mov(Reg::edx, Reg::eax);
        ValueType ignored;
        elementAddress(*op.rhs, ignored);
        code_.mov(Reg::ecx, dword(Reg::eax));
        code_.mov(Reg::eax, Reg::edx);
        rhs = Operand(Reg::ecx);
    } else if (!isSimpleInt(*op.rhs, rhs)) {
        code_.push(Reg::eax);
        generateAs(*op.rhs, ValueType::integer(), pos);
        code_.mov(Reg::ecx, Reg::eax);
        code_.pop(Reg::eax);
        rhs = Operand(Reg::ecx);
    }
    const bool immediate = rhs.kind == Operand::Kind::imm;
    switch (op.op) {
        case BinaryOp::Add:
            code_.add(Reg::eax, rhs);
            break;
        case BinaryOp::Sub:
            code_.sub(Reg::eax, rhs);
            break;
        case BinaryOp::And:
            code_.and_(Reg::eax, rhs);
            break;
        case BinaryOp::Or:
            code_.or_(Reg::eax, rhs);
            break;
        case BinaryOp::Xor:
            code_.xor_(Reg::eax, rhs);
            break;
        case BinaryOp::Mul:
            code_.imul(Reg::eax, rhs);
            break;
        case BinaryOp::Shl:
        case BinaryOp::Shr:
        case BinaryOp::Sar: {
            const ShiftOp shift = op.op == BinaryOp::Shl   ? ShiftOp::shl
                                  : op.op == BinaryOp::Shr ? ShiftOp::shr
                                                           : ShiftOp::sar;
            if (immediate) {
                code_.shift(shift, Reg::eax, Operand(rhs.immediate.value & 31));
            } else {
                if (!(rhs.kind == Operand::Kind::reg && rhs.code == static_cast<uint8_t>(Reg::ecx)))
                    code_.mov(Reg::ecx, rhs);
                code_.shift(shift, Reg::eax, Reg8::cl);
            }
            break;
        }
        default: {  // Div, Mod: the hardware division; dividing by 0 is the runtime's error
            // By -1 the quotient is the negation, which wraps for the smallest integer where
            // the hardware would fault, and the remainder is 0.
            const bool isMod = op.op == BinaryOp::Mod;
            if (immediate && rhs.immediate.value == -1) {
                if (isMod)
                    code_.xor_(Reg::eax, Reg::eax);
                else
                    code_.neg(Reg::eax);
                break;
            }
            if (!(rhs.kind == Operand::Kind::reg && rhs.code == static_cast<uint8_t>(Reg::ecx)))
                code_.mov(Reg::ecx, rhs);
            const Label done = code_.newLabel();
            if (!immediate) {
                const Label divide = code_.newLabel();
                code_.cmp(Reg::ecx, -1);
                code_.jcc(Cond::ne, divide);
                if (isMod)
                    code_.xor_(Reg::eax, Reg::eax);
                else
                    code_.neg(Reg::eax);
                code_.jmp(done);
                code_.bind(divide);
            }
            code_.cdq();
            code_.idiv(Reg::ecx);
            if (isMod) code_.mov(Reg::eax, Reg::edx);
            code_.bind(done);
            break;
        }
    }
    return ValueType::integer();
}

}  // namespace tx::txc
