// Repetition, slicing and padding: String, Left, Right, Mid, LSet and RSet. Each one changes its
// argument in place and returns it.
#include <algorithm>
#include <cstring>

#include "string_commands.h"
#include "string_edit.h"

namespace tx {

using strings::editable;

Str stringRepeat(StrArg string, int32_t repeat) {
    std::string& text = editable(string);
    if (repeat <= 0 || text.empty()) {
        text.clear();
        return string.release();
    }
    const size_t unit = text.size();
    const size_t total = unit * static_cast<size_t>(repeat);
    strings::requireLength(total);
    text.resize(total);
    // Doubling copies: the filled prefix is always whole repetitions.
    char* data = text.data();
    for (size_t filled = unit; filled < total;) {
        const size_t n = std::min(filled, total - filled);
        std::memcpy(data + filled, data, n);
        filled += n;
    }
    return string.release();
}

Str stringLeft(StrArg string, int32_t count) {
    if (count < 0) runtimeError(strings::kMustBePositive);
    std::string& text = editable(string);
    if (static_cast<size_t>(count) < text.size()) text.resize(static_cast<size_t>(count));
    return string.release();
}

Str stringRight(StrArg string, int32_t count) {
    if (count < 0) runtimeError(strings::kMustBePositive);
    std::string& text = editable(string);
    const auto length = static_cast<size_t>(count);
    if (length < text.size()) strings::keepRange(text, text.size() - length, length);
    return string.release();
}

Str stringMid(StrArg string, int32_t start, int32_t count) {
    if (start < 1) runtimeError(strings::kMustBeAboveZero);
    std::string& text = editable(string);
    const size_t pos = std::min(static_cast<size_t>(start) - 1, text.size());
    size_t length = text.size() - pos;
    if (count >= 0) length = std::min(length, static_cast<size_t>(count));
    strings::keepRange(text, pos, length);
    return string.release();
}

Str stringLSet(StrArg string, int32_t size) {
    if (size < 0) runtimeError(strings::kMustBePositive);
    strings::requireLength(static_cast<size_t>(size));
    editable(string).resize(static_cast<size_t>(size), ' ');
    return string.release();
}

Str stringRSet(StrArg string, int32_t size) {
    if (size < 0) runtimeError(strings::kMustBePositive);
    strings::requireLength(static_cast<size_t>(size));
    std::string& text = editable(string);
    const size_t wanted = static_cast<size_t>(size);
    if (wanted < text.size())
        strings::keepRange(text, text.size() - wanted, wanted);
    else
        text.insert(0, wanted - text.size(), ' ');
    return string.release();
}

}  // namespace tx
