// Expressions, from the loosest operators (And, Or, Xor) down to primaries.
#include <algorithm>

#include "parser.h"

namespace tx::txc {
namespace {

int heightOf(const ExprPtr& e) {
    return e ? e->height : 0;
}
int childHeight(const CallExpr& n) {
    int height = 0;
    for (const auto& arg : n.args) height = std::max(height, heightOf(arg));
    return height;
}
int childHeight(const IndexExpr& n) {
    return std::max(heightOf(n.base), heightOf(n.index));
}
int childHeight(const FieldExpr& n) {
    return heightOf(n.object);
}
int childHeight(const ObjectOpExpr& n) {
    return heightOf(n.operand);
}
int childHeight(const ObjectCastExpr& n) {
    return heightOf(n.handle);
}
int childHeight(const ConvertExpr& n) {
    return heightOf(n.operand);
}
int childHeight(const UnaryExpr& n) {
    return heightOf(n.operand);
}
int childHeight(const BinaryExpr& n) {
    return std::max(heightOf(n.lhs), heightOf(n.rhs));
}
template <class Leaf>
int childHeight(const Leaf&) {
    return 0;
}

int32_t wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

struct BinaryToken {
    Tok token;
    BinaryOp op;
};
constexpr BinaryToken kLogical[] = {
    {Tok::KwAnd, BinaryOp::And}, {Tok::KwOr, BinaryOp::Or}, {Tok::KwXor, BinaryOp::Xor}};
constexpr BinaryToken kComparison[] = {{Tok::Eq, BinaryOp::Eq}, {Tok::Ne, BinaryOp::Ne},
                                       {Tok::Lt, BinaryOp::Lt}, {Tok::Gt, BinaryOp::Gt},
                                       {Tok::Le, BinaryOp::Le}, {Tok::Ge, BinaryOp::Ge}};
constexpr BinaryToken kAdditive[] = {{Tok::Plus, BinaryOp::Add}, {Tok::Minus, BinaryOp::Sub}};
constexpr BinaryToken kMultiplicative[] = {
    {Tok::Star, BinaryOp::Mul},  {Tok::Slash, BinaryOp::Div}, {Tok::KwMod, BinaryOp::Mod},
    {Tok::KwShl, BinaryOp::Shl}, {Tok::KwShr, BinaryOp::Shr}, {Tok::KwSar, BinaryOp::Sar}};

template <size_t N>
const BinaryToken* findOp(const BinaryToken (&table)[N], Tok kind) {
    for (const auto& entry : table) {
        if (entry.token == kind) return &entry;
    }
    return nullptr;
}

struct Prefix {
    UnaryOp op;
    SourcePos pos;
};

}  // namespace

template <class Node>
ExprPtr Parser::makeExpr(SourcePos pos, Node node) {
    const int height = 1 + childHeight(node);
    if (height > kMaxNesting) {
        failAt(pos, "this expression is nested too deeply (more than " +
                        std::to_string(kMaxNesting) + " levels)");
    }
    auto expr = std::make_unique<Expr>();
    expr->pos = pos;
    expr->height = height;
    expr->node = std::move(node);
    return expr;
}

ExprPtr Parser::parseExpression() {
    ExprPtr lhs = parseComparison();
    while (const BinaryToken* entry = findOp(kLogical, tok().kind)) {
        const SourcePos pos = advance().pos;
        ExprPtr rhs = parseComparison();
        lhs = makeExpr(pos, BinaryExpr{entry->op, std::move(lhs), std::move(rhs)});
    }
    return lhs;
}

ExprPtr Parser::parseComparison() {
    ExprPtr lhs = parseAdditive();
    while (const BinaryToken* entry = findOp(kComparison, tok().kind)) {
        const SourcePos pos = advance().pos;
        ExprPtr rhs = parseAdditive();
        lhs = makeExpr(pos, BinaryExpr{entry->op, std::move(lhs), std::move(rhs)});
    }
    return lhs;
}

ExprPtr Parser::parseAdditive() {
    ExprPtr lhs = parseMultiplicative();
    while (const BinaryToken* entry = findOp(kAdditive, tok().kind)) {
        const SourcePos pos = advance().pos;
        ExprPtr rhs = parseMultiplicative();
        lhs = makeExpr(pos, BinaryExpr{entry->op, std::move(lhs), std::move(rhs)});
    }
    return lhs;
}

ExprPtr Parser::parseMultiplicative() {
    ExprPtr lhs = parseUnary();
    while (const BinaryToken* entry = findOp(kMultiplicative, tok().kind)) {
        const SourcePos pos = advance().pos;
        ExprPtr rhs = parseUnary();
        lhs = makeExpr(pos, BinaryExpr{entry->op, std::move(lhs), std::move(rhs)});
    }
    return lhs;
}

// Signs in front of a power: `-2 ^ 2` is -(2 ^ 2). `^` is left-associative and its right operand
// may carry signs of its own: `2 ^ -1`.
ExprPtr Parser::parseUnary() {
    return parseSigned(true);
}

// An operand that binds tighter than `^`: a primary with its postfixes and optional signs. The
// right side of `^` and the operand of `Str`, `Int`, `Float`, `After` and `Before`.
ExprPtr Parser::parsePowerOperand() {
    return parseSigned(false);
}

ExprPtr Parser::parseSigned(bool withPower) {
    std::vector<Prefix> prefixes;
    while (at(Tok::Minus) || at(Tok::Plus) || at(Tok::Tilde)) {
        const Token& sign = advance();
        prefixes.push_back({sign.kind == Tok::Minus  ? UnaryOp::Negate
                            : sign.kind == Tok::Plus ? UnaryOp::Plus
                                                     : UnaryOp::BitNot,
                            sign.pos});
        if (prefixes.size() > static_cast<size_t>(kMaxNesting)) {
            fail("this expression is nested too deeply (more than " + std::to_string(kMaxNesting) +
                 " levels)");
        }
    }
    ExprPtr operand;
    // A negated number literal is a literal of its own: -2147483648 fits an integer.
    if (!prefixes.empty() && prefixes.back().op == UnaryOp::Negate &&
        (at(Tok::Int) || at(Tok::Float)) && (!withPower || peek(1).kind != Tok::Caret)) {
        const Token& number = advance();
        const SourcePos pos = prefixes.back().pos;
        prefixes.pop_back();
        operand = number.kind == Tok::Float ? makeExpr(pos, FloatLiteral{-number.floatValue})
                                            : makeExpr(pos, IntLiteral{wrap32(-number.intValue)});
    } else {
        operand = parsePostfix();
        while (withPower && at(Tok::Caret)) {
            const SourcePos pos = advance().pos;
            ExprPtr rhs = parsePowerOperand();
            operand =
                makeExpr(pos, BinaryExpr{BinaryOp::Power, std::move(operand), std::move(rhs)});
        }
    }
    for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
        operand = makeExpr(it->pos, UnaryExpr{it->op, std::move(operand)});
    }
    return operand;
}

ExprPtr Parser::parsePostfix() {
    NestingGuard guard(*this);
    return parsePostfixChain(parsePrimary());
}

// `\field` and `[index]` after a primary, any number of them.
ExprPtr Parser::parsePostfixChain(ExprPtr base) {
    while (true) {
        if (at(Tok::Backslash)) {
            const SourcePos pos = advance().pos;
            const Token& field = expectName("a field name after '\\'");
            base = makeExpr(pos, FieldExpr{std::move(base), field.text, field.tag});
        } else if (at(Tok::LBracket)) {
            const SourcePos pos = advance().pos;
            ExprPtr index = parseExpression();
            expect(Tok::RBracket, "after the index of the vector element");
            base = makeExpr(pos, IndexExpr{std::move(base), std::move(index)});
        } else {
            return base;
        }
    }
}

ExprPtr Parser::parseNameExpression(const Token& name) {
    if (at(Tok::LParen)) {
        ExprList args = parseParenthesizedArguments();
        return makeExpr(name.pos, CallExpr{name.text, name.tag, std::move(args)});
    }
    return makeExpr(name.pos, NameExpr{name.text, name.tag});
}

ExprList Parser::parseParenthesizedArguments() {
    expect(Tok::LParen, "");
    ExprList args;
    if (accept(Tok::RParen)) return args;
    while (true) {
        args.push_back(parseExpression());
        if (accept(Tok::RParen)) return args;
        if (!at(Tok::Comma)) {
            fail("expected ',' or ')' in the list of arguments, found " + describe(tok()));
        }
        advance();
    }
}

ExprPtr Parser::parsePrimary() {
    const Token& token = tok();
    const SourcePos pos = token.pos;
    switch (token.kind) {
        case Tok::Int:
            if (token.decimal && token.intValue > 2147483647) {
                fail("this number is too large for an integer (the largest is 2147483647)");
            }
            advance();
            return makeExpr(pos, IntLiteral{wrap32(token.intValue)});
        case Tok::Float:
            advance();
            return makeExpr(pos, FloatLiteral{token.floatValue});
        case Tok::String:
            advance();
            return makeExpr(pos, StringLiteral{token.text});
        case Tok::KwTrue:
            advance();
            return makeExpr(pos, IntLiteral{1});
        case Tok::KwFalse:
            advance();
            return makeExpr(pos, IntLiteral{0});
        case Tok::KwPi:
            advance();
            return makeExpr(pos, FloatLiteral{3.1415927});
        case Tok::KwNull:
            advance();
            return makeExpr(pos, NullLiteral{});
        case Tok::Ident: {
            const Token& name = advance();
            return parseNameExpression(name);
        }
        case Tok::LParen: {
            advance();
            ExprPtr inner = parseExpression();
            if (!at(Tok::RParen)) {
                fail("expected ')' to close the '(' at column " + std::to_string(pos.column) +
                     ", found " + describe(tok()));
            }
            advance();
            return inner;
        }
        case Tok::KwNew:
        case Tok::KwFirst:
        case Tok::KwLast: {
            const TypeOp op = token.kind == Tok::KwNew     ? TypeOp::New
                              : token.kind == Tok::KwFirst ? TypeOp::First
                                                           : TypeOp::Last;
            const std::string context = "a type name after " + describe(advance().kind);
            const Token& type = expectName(context);
            if (type.tag.present()) failAt(type.pos, "a type name takes no type tag");
            return makeExpr(pos, TypeOpExpr{op, type.text});
        }
        case Tok::KwAfter:
        case Tok::KwBefore: {
            const ObjectOp op = token.kind == Tok::KwAfter ? ObjectOp::After : ObjectOp::Before;
            advance();
            return makeExpr(pos, ObjectOpExpr{op, parsePowerOperand()});
        }
        case Tok::KwHandle: {
            advance();
            expect(Tok::LParen, "after 'Handle'");
            ExprPtr object = parseExpression();
            expect(Tok::RParen, "after the object of 'Handle'");
            return makeExpr(pos, ObjectOpExpr{ObjectOp::Handle, std::move(object)});
        }
        case Tok::KwObject: {
            if (token.tag.kind != TypeTag::Kind::Object) {
                fail("expected '.TypeName' right after 'Object', as in Object.Player(h)");
            }
            const std::string typeName = advance().tag.typeName;
            expect(Tok::LParen, "after 'Object." + typeName + "'");
            ExprPtr handle = parseExpression();
            expect(Tok::RParen, "after the handle of 'Object." + typeName + "'");
            return makeExpr(pos, ObjectCastExpr{typeName, std::move(handle)});
        }
        case Tok::KwStr:
        case Tok::KwInt:
        case Tok::KwFloat: {
            const Conversion to = token.kind == Tok::KwStr   ? Conversion::Str
                                  : token.kind == Tok::KwInt ? Conversion::Int
                                                             : Conversion::Float;
            advance();
            return makeExpr(pos, ConvertExpr{to, parsePowerOperand()});
        }
        case Tok::KwNot: {
            // `Not` binds looser than comparisons: `Not a = b` is Not (a = b).
            advance();
            return makeExpr(pos, UnaryExpr{UnaryOp::Not, parseComparison()});
        }
        default:
            if (isKeyword(token.kind)) {
                fail("expected an expression, found the keyword " + describe(token));
            }
            fail("expected an expression, found " + describe(token));
    }
}

ExprPtr Parser::parseLValue(const std::string& context) {
    const Token& name = expectName(context);
    NestingGuard guard(*this);
    return parsePostfixChain(parseNameExpression(name));
}

// A value that must be known when compiling: a number literal (possibly negated), the name of a
// Const (possibly negated), or, unless only numbers will do, a string literal or Null. Whether a
// name is a Const is checked later.
ExprPtr Parser::parseConstant(const std::string& what, bool numbersOnly) {
    const SourcePos pos = tok().pos;
    ExprPtr value = parseExpression();
    const Expr* inner = value.get();
    if (const auto* unary = std::get_if<UnaryExpr>(&inner->node);
        unary && (unary->op == UnaryOp::Negate || unary->op == UnaryOp::Plus)) {
        inner = unary->operand.get();
    }
    const bool signedOperand = std::holds_alternative<IntLiteral>(inner->node) ||
                               std::holds_alternative<FloatLiteral>(inner->node) ||
                               std::holds_alternative<NameExpr>(inner->node);
    const bool other = !numbersOnly && inner == value.get() &&
                       (std::holds_alternative<StringLiteral>(inner->node) ||
                        std::holds_alternative<NullLiteral>(inner->node));
    if (!signedOperand && !other) {
        failAt(pos,
               what + (numbersOnly
                           ? " must be a constant: a number or the name of a Const"
                           : " must be a constant: a number, a string or the name of a Const"));
    }
    return value;
}

}  // namespace tx::txc
