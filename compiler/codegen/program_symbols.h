// What a program declares, resolved for code generation: value types, user types with their
// fields, functions with their parameters, globals, constants and Dim arrays, each with the
// symbol the module image knows it by.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "diagnostics.h"
#include "program.h"

namespace tx::txc {

struct TypeInfo;

// The type of a value: nothing (a command without a result), a 32-bit integer, a 32-bit float,
// a string, or a reference to an object of a user type.
struct ValueType {
    // Error: the type of something already reported as wrong; it converts to anything
    // silently, so one mistake gives one message.
    enum class Kind : uint8_t { Void, Int, Float, String, Object, Null, Error };
    Kind kind = Kind::Int;
    const TypeInfo* object = nullptr;  // for Object

    static ValueType integer() { return {Kind::Int, nullptr}; }
    static ValueType floating() { return {Kind::Float, nullptr}; }
    static ValueType string() { return {Kind::String, nullptr}; }
    static ValueType none() { return {Kind::Void, nullptr}; }
    static ValueType null() { return {Kind::Null, nullptr}; }
    static ValueType error() { return {Kind::Error, nullptr}; }
    static ValueType of(const TypeInfo* type) { return {Kind::Object, type}; }

    bool isNumber() const { return kind == Kind::Int || kind == Kind::Float; }
    // Objects and Null: values held by reference.
    bool isObjectLike() const { return kind == Kind::Object || kind == Kind::Null; }
    bool operator==(const ValueType&) const = default;
};

// "an integer", "a float", "a string", "an object of type T", ...
std::string describe(ValueType type);
// "integers", "floats", "strings", "objects of type T", ...
std::string describePlural(ValueType type);

struct FieldInfo {
    std::string name;  // as declared
    ValueType type;
    int32_t vectorCount = 0;   // a vector field: its element count; 0 for a plain field
    std::string vectorSymbol;  // the field's vector type descriptor
};

struct TypeInfo {
    const TypeDecl* decl = nullptr;
    std::string name;    // as declared
    std::string symbol;  // "_t" + lower-case name
    std::vector<FieldInfo> fields;

    const FieldInfo* findField(std::string_view name, int32_t& index) const;
};

// A constant's value as the program folded it.
using ConstValue = std::variant<int32_t, float, std::string>;
ValueType typeOf(const ConstValue& value);
// The type a signature's sigil gives: '%', '#', '$', or nothing.
ValueType typeOfSigil(char sigil);

struct FunctionInfo {
    const FunctionDecl* decl = nullptr;
    std::string symbol;  // "_f" + lower-case name
    ValueType result;
    std::vector<ValueType> params;
    std::vector<std::optional<ConstValue>> defaults;  // by parameter; null pointer default: Null
    std::vector<bool> nullDefault;
};

struct ArrayInfo {
    const DimItem* decl = nullptr;
    std::string symbol;  // "_a" + lower-case name
    ValueType element;
    int32_t dimensions = 1;
};

// Where a variable lives.
struct GlobalInfo {
    const VarDeclItem* decl = nullptr;
    std::string symbol;  // "_v" + lower-case name
    ValueType type;
    int32_t vectorCount = 0;  // a vector: its element count; the cell holds the block
    std::string vectorSymbol;
};

// Vector type descriptors the program needs, one per (element type, count).
struct VectorTypeInfo {
    std::string symbol;
    ValueType element;
    int32_t count = 0;
};

class ProgramSymbols {
public:
    ProgramSymbols(const Program& program, Diagnostics& diagnostics);

    const TypeInfo* findType(std::string_view name) const;
    const FunctionInfo* findFunction(std::string_view name) const;
    const ArrayInfo* findArray(std::string_view name) const;
    const GlobalInfo* findGlobal(std::string_view name) const;
    const ConstValue* findConst(std::string_view name) const;

    // The value type a tag names; reports an unknown type at pos and gives an integer then.
    ValueType typeOfTag(const TypeTag& tag, SourcePos pos, ValueType fallback);
    // The symbol of the vector type descriptor for count elements of the given type.
    std::string vectorType(ValueType element, int32_t count);

    // A constant expression's value, or nullopt (reported when `report`) when it is not one.
    std::optional<ConstValue> evaluate(const Expr& expr, bool report);
    // A vector's highest index as written, checked: a constant integer from 0 up.
    int32_t vectorCount(const Expr& last);

    const std::vector<std::unique_ptr<TypeInfo>>& types() const { return types_; }
    const std::map<std::string, FunctionInfo>& functions() const { return functions_; }
    const std::map<std::string, ArrayInfo>& arrays() const { return arrays_; }
    const std::map<std::string, GlobalInfo>& globals() const { return globals_; }
    const std::vector<VectorTypeInfo>& vectorTypes() const { return vectorTypes_; }
    Diagnostics& diagnostics() { return diagnostics_; }

private:
    void declareConst(const ConstItem& item);

    const Program& program_;
    Diagnostics& diagnostics_;
    std::vector<std::unique_ptr<TypeInfo>> types_;
    std::map<std::string, TypeInfo*> typesByName_;
    std::map<std::string, FunctionInfo> functions_;
    std::map<std::string, ArrayInfo> arrays_;
    std::map<std::string, GlobalInfo> globals_;
    std::map<std::string, ConstValue> consts_;
    std::map<std::string, const ConstItem*> constDecls_;  // for constants used before their line
    std::vector<std::string> evaluating_;                 // against constants defined in a circle
    std::vector<VectorTypeInfo> vectorTypes_;
};

}  // namespace tx::txc
