#include "signature.h"

#include "ascii_case.h"

namespace tx {
namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameChar(char c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '_';
}
bool isSigil(char c) {
    return c == '%' || c == '#' || c == '$';
}

}  // namespace

std::optional<ParsedSignature> parseSignature(std::string_view s) {
    ParsedSignature sig;
    if (!s.empty() && s[0] == '_') {
        if (s.size() < 2) return std::nullopt;
        for (char c : s.substr(1))
            if (!isAsciiLetter(c) && !isAsciiDigit(c)) return std::nullopt;
        sig.internal = true;
        sig.name = std::string(s);
        return sig;
    }
    size_t i = 0;
    if (i < s.size() && isSigil(s[i])) sig.resultSigil = s[i++];
    if (i >= s.size() || !isAsciiLetter(s[i])) return std::nullopt;
    while (i < s.size() && isNameChar(s[i])) sig.name += s[i++];
    bool sawDefault = false;
    while (i < s.size()) {
        SignatureParam p;
        if (!isSigil(s[i])) return std::nullopt;
        p.sigil = s[i++];
        while (i < s.size() && isNameChar(s[i])) p.name += s[i++];
        if (p.name.empty()) return std::nullopt;
        if (i < s.size() && s[i] == '=') {
            ++i;
            if (s.substr(i, 2) == "\"\"") {
                p.defaultValue = "";
                i += 2;
            } else {
                std::string number;
                if (i < s.size() && s[i] == '-') number += s[i++];
                while (i < s.size() && isAsciiDigit(s[i])) number += s[i++];
                if (number.empty() || number == "-") return std::nullopt;
                p.defaultValue = number;
            }
            sawDefault = true;
        } else if (sawDefault) {
            return std::nullopt;  // a parameter without default after one with
        }
        sig.params.push_back(std::move(p));
    }
    return sig;
}

std::string linkKey(std::string_view signature) {
    if (!signature.empty() && signature[0] == '_') return "_" + std::string(signature);
    size_t i = 0;
    if (i < signature.size() && !isAsciiLetter(signature[i]) && !isAsciiDigit(signature[i])) ++i;
    std::string key = "_f";
    for (; i < signature.size() && isNameChar(signature[i]); ++i) key += lowerAscii(signature[i]);
    return key;
}

}  // namespace tx
