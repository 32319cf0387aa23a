// Upper, Lower and Trim: byte classes of the "C" locale, applied without consulting any locale.
#include <algorithm>

#include "ascii_case.h"
#include "string_commands.h"
#include "string_edit.h"

namespace tx {
namespace {

// Text bytes for Trim: 33..126, and also 128..255 so that the last character of UTF-8 or
// Latin-1 text is never cut. Spaces, control bytes and 127 are not.
bool isGraphic(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 32 && byte != 127;
}

}  // namespace

Str stringUpper(StrArg string) {
    for (char& c : strings::editable(string)) c = upperAscii(c);
    return string.release();
}

Str stringLower(StrArg string) {
    for (char& c : strings::editable(string)) c = lowerAscii(c);
    return string.release();
}

Str stringTrim(StrArg string) {
    std::string& text = strings::editable(string);
    const auto first = std::find_if(text.begin(), text.end(), isGraphic);
    const auto last = std::find_if(text.rbegin(), std::make_reverse_iterator(first), isGraphic);
    const auto start = static_cast<size_t>(first - text.begin());
    const auto end = static_cast<size_t>(last.base() - text.begin());
    strings::keepRange(text, start, end - start);
    return string.release();
}

}  // namespace tx
