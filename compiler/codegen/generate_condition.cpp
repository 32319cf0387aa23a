// Conditions: comparisons of every kind of value, and conditions compiled to jumps.
#include "code_generator.h"

namespace tx::txc {

using namespace ::txc::x86;

Cond CodeGenerator::compare(const BinaryExpr& op, SourcePos pos) {
    using K = ValueType::Kind;
    const ValueType a = typeOf(*op.lhs);
    const ValueType b = typeOf(*op.rhs);
    static constexpr Cond kSigned[] = {Cond::e, Cond::ne, Cond::l, Cond::g, Cond::le, Cond::ge};
    static constexpr Cond kUnordered[] = {Cond::e, Cond::ne, Cond::b, Cond::a, Cond::be, Cond::ae};
    static constexpr Cond kMirrored[] = {Cond::e, Cond::ne, Cond::a, Cond::b, Cond::ae, Cond::be};
    const int which = static_cast<int>(op.op) - static_cast<int>(BinaryOp::Eq);
    if (a.kind == K::Error || b.kind == K::Error) return Cond::e;
    if (a.isObjectLike() || b.isObjectLike()) {
        if (!a.isObjectLike() || !b.isObjectLike()) {
            error(pos, "an object can only be compared with an object or Null");
        } else if (a.kind == K::Object && b.kind == K::Object && a.object != b.object) {
            error(pos, "objects of different types cannot be compared");
        } else if (op.op != BinaryOp::Eq && op.op != BinaryOp::Ne) {
            error(pos, "objects can only be compared with = and <>");
        }
        generate(*op.rhs);
        code_.push(Reg::eax);
        generate(*op.lhs);
        code_.push(Reg::eax);
        callRoutine("__txObjCompare", 8);
        code_.test(Reg::eax, Reg::eax);
        return op.op == BinaryOp::Ne ? Cond::ne : Cond::e;
    }
    if (a.kind == K::String || b.kind == K::String) {
        pushValue(*op.rhs, ValueType::string());
        pushValue(*op.lhs, ValueType::string());
        callRoutine("__txStrCompare", 8);
        code_.test(Reg::eax, Reg::eax);
        return kSigned[which];
    }
    if (a.kind == K::Float || b.kind == K::Float) {
        generateAs(*op.lhs, ValueType::floating(), pos);
        Mem simple;
        bool direct = isSimpleFloat(*op.rhs, simple);
        if (!direct && b.kind == K::Float && isPureAddress(*op.rhs)) {
            ValueType ignored;
            elementAddress(*op.rhs, ignored);
            simple = dword(Reg::eax);
            direct = true;
        }
        if (direct) {
            code_.fld(simple);  // st(0) = rhs, st(1) = lhs
            code_.fcomip(st(1));
            code_.fstp(st(0));
            return kMirrored[which];
        }
        code_.sub(Reg::esp, 4);
        code_.fstp(dword(Reg::esp));
        generateAs(*op.rhs, ValueType::floating(), pos);
        code_.fld(dword(Reg::esp));  // st(0) = lhs, st(1) = rhs
        code_.add(Reg::esp, 4);
        code_.fcomip(st(1));
        code_.fstp(st(0));
        return kUnordered[which];
    }
    if (a.kind == K::Void || b.kind == K::Void) error(pos, "this gives no value to compare");
    Operand lhs(0);
    Operand rhs(0);
    if (isSimpleInt(*op.lhs, lhs) && lhs.kind != Operand::Kind::imm && isSimpleInt(*op.rhs, rhs) &&
        !(lhs.kind == Operand::Kind::mem && rhs.kind == Operand::Kind::mem)) {
        code_.cmp(lhs, rhs);  // a variable against a constant or a register: no load
        return kSigned[which];
    }
    generateAs(*op.lhs, ValueType::integer(), pos);
    if (isSimpleInt(*op.rhs, rhs)) {
        if (rhs.kind == Operand::Kind::imm && rhs.immediate.value == 0)
            code_.test(Reg::eax, Reg::eax);
        else
            code_.cmp(Reg::eax, rhs);
    } else {
        code_.push(Reg::eax);
        generateAs(*op.rhs, ValueType::integer(), pos);
        code_.pop(Reg::ecx);
        code_.cmp(Reg::ecx, Reg::eax);
    }
    return kSigned[which];
}

bool CodeGenerator::isPureBoolean(const Expr& expr) const {
    if (const auto* i = std::get_if<IntLiteral>(&expr.node)) return i->value == 0 || i->value == 1;
    if (const auto* u = std::get_if<UnaryExpr>(&expr.node))
        return u->op == UnaryOp::Not && isPureBoolean(*u->operand);
    const auto* b = std::get_if<BinaryExpr>(&expr.node);
    if (b == nullptr) return false;
    const auto pure = [](const Expr& e, auto& self) -> bool {
        return std::visit(
            [&](const auto& node) -> bool {
                using T = std::decay_t<decltype(node)>;
                if constexpr (std::is_same_v<T, IntLiteral> || std::is_same_v<T, FloatLiteral> ||
                              std::is_same_v<T, NameExpr>) {
                    return true;
                } else if constexpr (std::is_same_v<T, UnaryExpr>) {
                    return self(*node.operand, self);
                } else if constexpr (std::is_same_v<T, BinaryExpr>) {
                    return node.op != BinaryOp::Div && node.op != BinaryOp::Mod &&
                           self(*node.lhs, self) && self(*node.rhs, self);
                } else {
                    return false;
                }
            },
            e.node);
    };
    if (isComparison(b->op)) return pure(*b->lhs, pure) && pure(*b->rhs, pure);
    if (b->op == BinaryOp::And || b->op == BinaryOp::Or)
        return isPureBoolean(*b->lhs) && isPureBoolean(*b->rhs);
    return false;
}

void CodeGenerator::branch(const Expr& condition, bool when, Label target) {
    if (const auto* u = std::get_if<UnaryExpr>(&condition.node); u && u->op == UnaryOp::Not)
        return branch(*u->operand, !when, target);
    if (const auto* b = std::get_if<BinaryExpr>(&condition.node)) {
        if (isComparison(b->op)) {
            const ValueType a = typeOf(*b->lhs);
            const ValueType c = typeOf(*b->rhs);
            const bool floats =
                (a.kind == ValueType::Kind::Float || c.kind == ValueType::Kind::Float) &&
                a.kind != ValueType::Kind::String && c.kind != ValueType::Kind::String;
            const Cond cond = compare(*b, condition.pos);
            if (floats && !when) {
                // Unordered (NaN) compares false: skip when the negated test would take it.
                const Label fallThrough = code_.newLabel();
                code_.jcc(Cond::p, b->op == BinaryOp::Ne ? fallThrough : target);
                code_.jcc(negate(cond), target);
                code_.bind(fallThrough);
                return;
            }
            if (floats && when) {
                const Label skip = code_.newLabel();
                code_.jcc(Cond::p, b->op == BinaryOp::Ne ? target : skip);
                code_.jcc(cond, target);
                code_.bind(skip);
                return;
            }
            code_.jcc(when ? cond : negate(cond), target);
            return;
        }
        if ((b->op == BinaryOp::And || b->op == BinaryOp::Or) && isPureBoolean(condition)) {
            // Both operands are 0 or 1 without side effects: the bitwise result is the logical one.
            const bool isAnd = b->op == BinaryOp::And;
            if (isAnd != when) {  // And jumping when false, Or jumping when true: either decides
                branch(*b->lhs, when, target);
                branch(*b->rhs, when, target);
            } else {
                const Label skip = code_.newLabel();
                branch(*b->lhs, !when, skip);
                branch(*b->rhs, when, target);
                code_.bind(skip);
            }
            return;
        }
    }
    if (const auto* i = std::get_if<IntLiteral>(&condition.node)) {
        if ((i->value != 0) == when) code_.jmp(target);
        return;
    }
    const ValueType type = typeOf(condition);
    switch (type.kind) {
        case ValueType::Kind::Float:
            generate(condition);
            code_.fldz();
            code_.fcomip(st(1));
            code_.fstp(st(0));
            break;
        case ValueType::Kind::Object:
        case ValueType::Kind::Null:
            code_.push(0);
            generate(condition);
            code_.push(Reg::eax);
            callRoutine("__txObjCompare", 8);
            code_.test(Reg::eax, Reg::eax);
            break;
        default:
            generateAs(condition, ValueType::integer(), condition.pos);
            code_.test(Reg::eax, Reg::eax);
            break;
    }
    code_.jcc(when ? Cond::ne : Cond::e, target);
}

}  // namespace tx::txc
