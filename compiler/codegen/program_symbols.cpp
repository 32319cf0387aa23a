#include "program_symbols.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tx::txc {
namespace {

// Float to integer as the FPU rounds under the runtime's control word: to nearest, ties to even.
int32_t roundToInt(float value) {
    const double rounded = std::nearbyint(static_cast<double>(value));
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return INT32_MIN;  // "indefinite"
    return static_cast<int32_t>(rounded);
}

// One of the six comparisons of two values of a type, as the language's truth value; nothing
// for another operator.
template <typename T>
std::optional<int32_t> compared(BinaryOp op, const T& x, const T& y) {
    switch (op) {
        case BinaryOp::Eq:
            return int32_t{x == y};
        case BinaryOp::Ne:
            return int32_t{x != y};
        case BinaryOp::Lt:
            return int32_t{x < y};
        case BinaryOp::Gt:
            return int32_t{x > y};
        case BinaryOp::Le:
            return int32_t{x <= y};
        case BinaryOp::Ge:
            return int32_t{x >= y};
        default:
            return std::nullopt;
    }
}

float toFloat(const ConstValue& v) {
    if (const auto* i = std::get_if<int32_t>(&v)) return static_cast<float>(*i);
    return std::get<float>(v);
}

}  // namespace

std::string describe(ValueType type) {
    switch (type.kind) {
        case ValueType::Kind::Void:
            return "nothing";
        case ValueType::Kind::Int:
            return "an integer";
        case ValueType::Kind::Float:
            return "a float";
        case ValueType::Kind::String:
            return "a string";
        case ValueType::Kind::Object:
            return "an object of type " + (type.object ? type.object->name : std::string("?"));
        case ValueType::Kind::Null:
            return "Null";
        case ValueType::Kind::Error:
            return "?";
    }
    return "?";
}

std::string describePlural(ValueType type) {
    switch (type.kind) {
        case ValueType::Kind::Int:
            return "integers";
        case ValueType::Kind::Float:
            return "floats";
        case ValueType::Kind::String:
            return "strings";
        case ValueType::Kind::Object:
            return "objects of type " + (type.object ? type.object->name : std::string("?"));
        default:
            return describe(type);
    }
}

ValueType typeOf(const ConstValue& value) {
    if (std::holds_alternative<int32_t>(value)) return ValueType::integer();
    if (std::holds_alternative<float>(value)) return ValueType::floating();
    return ValueType::string();
}

ValueType typeOfSigil(char sigil) {
    switch (sigil) {
        case '%':
            return ValueType::integer();
        case '#':
            return ValueType::floating();
        case '$':
            return ValueType::string();
        default:
            return ValueType::none();
    }
}

const FieldInfo* TypeInfo::findField(std::string_view name, int32_t& index) const {
    const std::string folded = foldCase(name);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (foldCase(fields[i].name) == folded) {
            index = static_cast<int32_t>(i);
            return &fields[i];
        }
    }
    return nullptr;
}

ProgramSymbols::ProgramSymbols(const Program& program, Diagnostics& diagnostics)
    : program_(program), diagnostics_(diagnostics) {
    const Declarations& d = program.declarations;
    // Types first (fields may name any type), then constants, then what uses both.
    for (const auto& [folded, decl] : d.types) {
        auto info = std::make_unique<TypeInfo>();
        info->decl = decl;
        info->name = decl->name;
        info->symbol = "_t" + folded;
        typesByName_[folded] = info.get();
        types_.push_back(std::move(info));
    }
    for (const ConstItem* item : d.consts) constDecls_.emplace(foldCase(item->name), item);
    for (const ConstItem* item : d.consts) declareConst(*item);
    for (auto& type : types_) {
        for (const FieldDecl& field : type->decl->fields) {
            FieldInfo info;
            info.name = field.name;
            info.type = typeOfTag(field.tag, field.pos, ValueType::integer());
            if (field.vectorLast) {
                info.vectorCount = vectorCount(*field.vectorLast);
                info.vectorSymbol = vectorType(info.type, info.vectorCount);
            }
            type->fields.push_back(std::move(info));
        }
    }
    for (const auto& [folded, decl] : d.functions) {
        FunctionInfo info;
        info.decl = decl;
        info.symbol = "_f" + folded;
        info.result = typeOfTag(decl->tag, decl->pos, ValueType::integer());
        for (const Param& param : decl->params) {
            const ValueType type = typeOfTag(param.tag, param.pos, ValueType::integer());
            info.params.push_back(type);
            std::optional<ConstValue> value;
            bool isNull = false;
            if (param.defaultValue) {
                if (std::holds_alternative<NullLiteral>(param.defaultValue->node)) {
                    isNull = true;
                    if (!type.isObjectLike()) {
                        diagnostics_.error(param.defaultValue->pos,
                                           "Null can only be the default of an object parameter");
                    }
                } else {
                    value = evaluate(*param.defaultValue, true);
                    if (value && type.kind == ValueType::Kind::Object) {
                        diagnostics_.error(param.defaultValue->pos,
                                           "an object parameter can only default to Null");
                    } else if (value && type.kind == ValueType::Kind::String &&
                               !std::holds_alternative<std::string>(*value)) {
                        value = std::visit(
                            [](auto v) -> ConstValue {
                                if constexpr (std::is_same_v<decltype(v), std::string>)
                                    return v;
                                else
                                    return std::string();
                            },
                            *value);
                        diagnostics_.error(param.defaultValue->pos,
                                           "the default of a string parameter must be a string");
                    } else if (value && type.isNumber() &&
                               std::holds_alternative<std::string>(*value)) {
                        diagnostics_.error(param.defaultValue->pos,
                                           "the default of a number parameter must be a number");
                    }
                }
            }
            info.defaults.push_back(std::move(value));
            info.nullDefault.push_back(isNull);
        }
        functions_.emplace(folded, std::move(info));
    }
    for (const DimItem* item : d.arrays) {
        ArrayInfo info;
        info.decl = item;
        const std::string folded = foldCase(item->name);
        info.symbol = "_a" + folded;
        info.element = typeOfTag(item->tag, item->pos, ValueType::integer());
        info.dimensions = static_cast<int32_t>(std::max<size_t>(1, item->dims.size()));
        arrays_.emplace(folded, std::move(info));
    }
    for (const VarDeclItem* item : d.globals) {
        GlobalInfo info;
        info.decl = item;
        const std::string folded = foldCase(item->name);
        info.symbol = "_v" + folded;
        info.type = typeOfTag(item->tag, item->pos, ValueType::integer());
        if (item->vectorLast) {
            info.vectorCount = vectorCount(*item->vectorLast);
            info.vectorSymbol = vectorType(info.type, info.vectorCount);
        }
        if (findConst(item->name) != nullptr) {
            diagnostics_.error(item->pos, "'" + item->name + "' is already a constant");
        }
        globals_.emplace(folded, std::move(info));
    }
}

const TypeInfo* ProgramSymbols::findType(std::string_view name) const {
    const auto it = typesByName_.find(foldCase(name));
    return it == typesByName_.end() ? nullptr : it->second;
}
const FunctionInfo* ProgramSymbols::findFunction(std::string_view name) const {
    const auto it = functions_.find(foldCase(name));
    return it == functions_.end() ? nullptr : &it->second;
}
const ArrayInfo* ProgramSymbols::findArray(std::string_view name) const {
    const auto it = arrays_.find(foldCase(name));
    return it == arrays_.end() ? nullptr : &it->second;
}
const GlobalInfo* ProgramSymbols::findGlobal(std::string_view name) const {
    const auto it = globals_.find(foldCase(name));
    return it == globals_.end() ? nullptr : &it->second;
}
const ConstValue* ProgramSymbols::findConst(std::string_view name) const {
    const auto it = consts_.find(foldCase(name));
    return it == consts_.end() ? nullptr : &it->second;
}

ValueType ProgramSymbols::typeOfTag(const TypeTag& tag, SourcePos pos, ValueType fallback) {
    switch (tag.kind) {
        case TypeTag::Kind::None:
            return fallback;
        case TypeTag::Kind::Int:
            return ValueType::integer();
        case TypeTag::Kind::Float:
            return ValueType::floating();
        case TypeTag::Kind::String:
            return ValueType::string();
        case TypeTag::Kind::Object:
            if (const TypeInfo* type = findType(tag.typeName)) return ValueType::of(type);
            diagnostics_.error(pos, "there is no type called '" + tag.typeName + "'");
            return ValueType::error();
    }
    return fallback;
}

std::string ProgramSymbols::vectorType(ValueType element, int32_t count) {
    for (const VectorTypeInfo& v : vectorTypes_) {
        if (v.element == element && v.count == count) return v.symbol;
    }
    vectorTypes_.push_back({"_vec" + std::to_string(vectorTypes_.size()), element, count});
    return vectorTypes_.back().symbol;
}

int32_t ProgramSymbols::vectorCount(const Expr& last) {
    const std::optional<ConstValue> value = evaluate(last, true);
    if (!value) return 1;
    const int32_t* highest = std::get_if<int32_t>(&*value);
    if (highest == nullptr || *highest < 0 || *highest >= (1 << 24)) {
        diagnostics_.error(last.pos, "the size of a vector must be an integer from 0 to 16777215");
        return 1;
    }
    return *highest + 1;
}

void ProgramSymbols::declareConst(const ConstItem& item) {
    const std::string folded = foldCase(item.name);
    if (consts_.count(folded) != 0) return;  // evaluated already, where it was used
    if (std::find(evaluating_.begin(), evaluating_.end(), folded) != evaluating_.end()) {
        diagnostics_.error(item.pos, "the constant '" + item.name + "' is defined by itself");
        consts_.emplace(folded, int32_t{0});
        return;
    }
    evaluating_.push_back(folded);
    std::optional<ConstValue> value = evaluate(*item.value, true);
    evaluating_.pop_back();
    if (!value) value = int32_t{0};
    // The tag decides the constant's type; the value is converted to it.
    const ValueType want = typeOfTag(item.tag, item.pos, typeOf(*value));
    if (want.kind == ValueType::Kind::Int && std::holds_alternative<float>(*value)) {
        value = roundToInt(std::get<float>(*value));
    } else if (want.kind == ValueType::Kind::Float && std::holds_alternative<int32_t>(*value)) {
        value = static_cast<float>(std::get<int32_t>(*value));
    } else if (want.kind == ValueType::Kind::Object ||
               (want.kind == ValueType::Kind::String) !=
                   std::holds_alternative<std::string>(*value)) {
        diagnostics_.error(item.pos, "the constant '" + item.name + "' cannot hold " +
                                         describe(typeOf(*value)) + " as " + describe(want));
    }
    consts_.emplace(folded, std::move(*value));
}

std::optional<ConstValue> ProgramSymbols::evaluate(const Expr& expr, bool report) {
    const auto fail = [&](const std::string& message) -> std::optional<ConstValue> {
        if (report) diagnostics_.error(expr.pos, message);
        return std::nullopt;
    };
    if (const auto* i = std::get_if<IntLiteral>(&expr.node)) return i->value;
    if (const auto* f = std::get_if<FloatLiteral>(&expr.node)) return static_cast<float>(f->value);
    if (const auto* s = std::get_if<StringLiteral>(&expr.node)) return s->bytes;
    if (const auto* name = std::get_if<NameExpr>(&expr.node)) {
        const std::string folded = foldCase(name->name);
        if (consts_.count(folded) == 0) {
            const auto decl = constDecls_.find(folded);
            if (decl == constDecls_.end()) return fail("'" + name->name + "' is not a constant");
            declareConst(*decl->second);
        }
        return consts_.at(folded);
    }
    if (const auto* unary = std::get_if<UnaryExpr>(&expr.node)) {
        std::optional<ConstValue> v = evaluate(*unary->operand, report);
        if (!v) return std::nullopt;
        if (std::holds_alternative<std::string>(*v)) return fail("a string has no sign");
        switch (unary->op) {
            case UnaryOp::Plus:
                return v;
            case UnaryOp::Negate:
                if (const auto* i = std::get_if<int32_t>(&*v))
                    return static_cast<int32_t>(0u - static_cast<uint32_t>(*i));
                return -std::get<float>(*v);
            case UnaryOp::BitNot:
                if (const auto* i = std::get_if<int32_t>(&*v)) return ~*i;
                return ~roundToInt(std::get<float>(*v));
            case UnaryOp::Not:
                if (const auto* i = std::get_if<int32_t>(&*v)) return int32_t{*i == 0};
                return int32_t{std::get<float>(*v) == 0.0f};
        }
    }
    if (const auto* convert = std::get_if<ConvertExpr>(&expr.node)) {
        std::optional<ConstValue> v = evaluate(*convert->operand, report);
        if (!v || std::holds_alternative<std::string>(*v)) {
            return v ? fail("this conversion of a string is not a constant") : std::nullopt;
        }
        if (convert->to == Conversion::Int)
            return std::holds_alternative<float>(*v) ? ConstValue(roundToInt(std::get<float>(*v)))
                                                     : *v;
        if (convert->to == Conversion::Float) return toFloat(*v);
        return fail("Str of a number is not a constant");
    }
    const auto* binary = std::get_if<BinaryExpr>(&expr.node);
    if (binary == nullptr) return fail("this is not a constant");
    std::optional<ConstValue> a = evaluate(*binary->lhs, report);
    std::optional<ConstValue> b = a ? evaluate(*binary->rhs, report) : std::nullopt;
    if (!a || !b) return std::nullopt;
    const bool strings =
        std::holds_alternative<std::string>(*a) || std::holds_alternative<std::string>(*b);
    if (strings) {
        if (!std::holds_alternative<std::string>(*a) || !std::holds_alternative<std::string>(*b))
            return fail("mixing strings and numbers is not a constant");
        const std::string& x = std::get<std::string>(*a);
        const std::string& y = std::get<std::string>(*b);
        if (binary->op == BinaryOp::Add) return x + y;
        if (const auto truth = compared(binary->op, x, y)) return *truth;  // bytes, unsigned
        return fail("this operator does not apply to strings");
    }
    const bool integers =
        std::holds_alternative<int32_t>(*a) && std::holds_alternative<int32_t>(*b);
    const auto intOf = [](const ConstValue& v) {
        return std::holds_alternative<int32_t>(v) ? std::get<int32_t>(v)
                                                  : roundToInt(std::get<float>(v));
    };
    switch (binary->op) {
        case BinaryOp::And:
            return intOf(*a) & intOf(*b);
        case BinaryOp::Or:
            return intOf(*a) | intOf(*b);
        case BinaryOp::Xor:
            return intOf(*a) ^ intOf(*b);
        case BinaryOp::Shl:
            return static_cast<int32_t>(static_cast<uint32_t>(intOf(*a)) << (intOf(*b) & 31));
        case BinaryOp::Shr:
            return static_cast<int32_t>(static_cast<uint32_t>(intOf(*a)) >> (intOf(*b) & 31));
        case BinaryOp::Sar:
            return intOf(*a) >> (intOf(*b) & 31);
        case BinaryOp::Power:
            return static_cast<float>(
                std::pow(static_cast<double>(toFloat(*a)), static_cast<double>(toFloat(*b))));
        default:
            break;
    }
    if (integers) {
        const uint32_t x = static_cast<uint32_t>(std::get<int32_t>(*a));
        const uint32_t y = static_cast<uint32_t>(std::get<int32_t>(*b));
        const int32_t sx = std::get<int32_t>(*a);
        const int32_t sy = std::get<int32_t>(*b);
        switch (binary->op) {
            case BinaryOp::Add:
                return static_cast<int32_t>(x + y);
            case BinaryOp::Sub:
                return static_cast<int32_t>(x - y);
            case BinaryOp::Mul:
                return static_cast<int32_t>(x * y);
            case BinaryOp::Div:
            case BinaryOp::Mod:
                if (sy == 0) return fail("division by zero in a constant");
                if (sy == -1)  // wraps as at run time: the smallest integer stays itself
                    return binary->op == BinaryOp::Div ? static_cast<int32_t>(0u - x) : 0;
                return binary->op == BinaryOp::Div ? sx / sy : sx % sy;
            default:
                if (const auto truth = compared(binary->op, sx, sy)) return *truth;
                break;
        }
    }
    const float x = toFloat(*a);
    const float y = toFloat(*b);
    switch (binary->op) {
        case BinaryOp::Add:
            return x + y;
        case BinaryOp::Sub:
            return x - y;
        case BinaryOp::Mul:
            return x * y;
        case BinaryOp::Div:
            return x / y;
        case BinaryOp::Mod:
            return std::fmod(x, y);
        default:
            if (const auto truth = compared(binary->op, x, y)) return *truth;
            return fail("this is not a constant");
    }
}

}  // namespace tx::txc
