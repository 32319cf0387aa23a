// Search and replace: Instr and Replace. Comparison is exact and case-sensitive, byte by byte.
#include <cstring>
#include <string_view>

#include "string_commands.h"
#include "string_edit.h"

namespace tx {

using strings::editable;

namespace {

constexpr size_t npos = std::string_view::npos;

void copyBytes(char* to, std::string_view from) {
    if (!from.empty()) std::memcpy(to, from.data(), from.size());
}

// Copies the text between the matches down to `write` and puts `to` in place of each match,
// scanning from `read` onwards. The caller guarantees that writing never passes the next read
// position, so the part still to be searched is never overwritten.
size_t replaceForward(char* data, size_t size, size_t read, std::string_view from,
                      std::string_view to) {
    const std::string_view whole(data, size);
    size_t write = 0;
    for (size_t at; (at = whole.find(from, read)) != npos; read = at + from.size()) {
        const size_t keep = at - read;
        if (write != read) std::memmove(data + write, data + read, keep);
        write += keep;
        copyBytes(data + write, to);
        write += to.size();
    }
    if (write != read) std::memmove(data + write, data + read, size - read);
    return write + (size - read);
}

// Replaces in place without extra memory. When the text grows, the original is first moved to
// the end of the enlarged buffer; each replacement then closes the gap by the growth of one
// match, so writing stays behind reading.
void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (to.size() <= from.size()) {
        text.resize(replaceForward(text.data(), text.size(), 0, from, to));
        return;
    }
    size_t matches = 0;
    const std::string_view original(text);
    for (size_t at = 0; (at = original.find(from, at)) != npos; at += from.size()) ++matches;
    if (matches == 0) return;
    const size_t oldSize = text.size();
    const size_t growth = matches * (to.size() - from.size());
    strings::requireLength(oldSize + growth);
    text.resize(oldSize + growth);
    std::memmove(text.data() + growth, text.data(), oldSize);
    replaceForward(text.data(), text.size(), growth, from, to);
}

}  // namespace

Str stringReplace(StrArg string, StrArg from, StrArg to) {
    std::string& text = editable(string);
    // The string itself passed again as from or to: work from a copy and give up that argument's
    // ownership, so the result is not released along with it.
    std::string fromCopy, toCopy;
    std::string_view fromText = from.view(), toText = to.view();
    if (from.handle() == string.handle()) {
        fromCopy = text;
        fromText = fromCopy;
        from.release();
    }
    if (to.handle() == string.handle()) {
        toCopy = text;
        toText = toCopy;
        to.release();
    }
    // An empty `from` would match everywhere without moving on: the string stays as it is.
    if (!fromText.empty() && !text.empty()) replaceAll(text, fromText, toText);
    return string.release();
}

int32_t stringInstr(StrArg string, StrArg find, int32_t from) {
    if (from < 1) runtimeError(strings::kMustBeAboveZero);
    const std::string_view text = string.view();
    const size_t start = static_cast<size_t>(from) - 1;
    if (start > text.size()) return 0;
    const size_t at = text.find(find.view(), start);
    return at == npos ? 0 : static_cast<int32_t>(at + 1);
}

}  // namespace tx
