// The type tag written after a name: `%` integer, `#` float, `$` string, `.T` object of type T.
#pragma once

#include <cstdint>
#include <string>

namespace tx::txc {

struct TypeTag {
    enum class Kind : uint8_t { None, Int, Float, String, Object };
    Kind kind = Kind::None;
    std::string typeName;  // the type's name as written, for Kind::Object

    bool present() const { return kind != Kind::None; }
    // The tag as written: "", "%", "#", "$" or ".T".
    std::string suffix() const {
        switch (kind) {
            case Kind::None:
                return {};
            case Kind::Int:
                return "%";
            case Kind::Float:
                return "#";
            case Kind::String:
                return "$";
            case Kind::Object:
                return "." + typeName;
        }
        return {};
    }
};

}  // namespace tx::txc
