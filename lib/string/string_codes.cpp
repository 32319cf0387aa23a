// Character codes and number text: Chr, Asc, Len, Hex and Bin.
#include <string_view>

#include "string_commands.h"

namespace tx {

Str stringChr(int32_t ascii) {
    const char byte = static_cast<char>(ascii & 0xFF);
    return strNew(std::string_view(&byte, 1));
}

int32_t stringAsc(StrArg string) {
    const std::string_view text = string.view();
    return text.empty() ? -1 : static_cast<unsigned char>(text.front());
}

int32_t stringLen(StrArg string) {
    return static_cast<int32_t>(string.view().size());
}

Str stringHex(int32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto bits = static_cast<uint32_t>(value);
    char text[8];
    for (int i = 0; i < 8; ++i) text[i] = kDigits[(bits >> (28 - 4 * i)) & 0xF];
    return strNew(std::string_view(text, sizeof text));
}

Str stringBin(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    char text[32];
    for (int i = 0; i < 32; ++i) text[i] = static_cast<char>('0' + ((bits >> (31 - i)) & 1));
    return strNew(std::string_view(text, sizeof text));
}

}  // namespace tx
