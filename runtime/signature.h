// The command signature grammar and link keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tx {

struct SignatureParam {
    char sigil;  // '%', '#' or '$'
    std::string name;
    std::optional<std::string> defaultValue;  // decimal text, or "" for the empty string literal
};

struct ParsedSignature {
    bool internal = false;  // "_name": support routine or data symbol
    char resultSigil = 0;   // 0 for no result
    std::string name;
    std::vector<SignatureParam> params;
};

// Parses a signature; nullopt when it does not follow the grammar.
std::optional<ParsedSignature> parseSignature(std::string_view signature);

// "%KeyDown%key" -> "_fkeydown"; "_txStrConcat" -> "__txStrConcat".
std::string linkKey(std::string_view signature);

}  // namespace tx
