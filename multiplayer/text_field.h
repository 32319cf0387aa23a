// A one-line text field as the dialog edits it: the text, the caret, and a limit on the length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tx::net {

class TextField {
public:
    // Editing codes (what asciiOfKey gives for the keys).
    static constexpr int32_t kHome = 1, kEnd = 2, kDelete = 4, kBackspace = 8, kRight = 30,
                             kLeft = 31;

    explicit TextField(size_t maxLength) : maxLength_(maxLength) {}

    const std::string& text() const { return text_; }
    size_t caret() const { return caret_; }
    size_t maxLength() const { return maxLength_; }
    // Replaces the text (cut to the limit), the caret at its end.
    void set(std::string_view text);
    void clear() { set({}); }

    // Applies an editing code, or inserts a character (32 to 255 but 127) at the caret while
    // the limit allows; other codes do nothing. Returns whether the field changed.
    bool apply(int32_t code);

private:
    std::string text_;
    size_t caret_ = 0;
    size_t maxLength_;
};

}  // namespace tx::net
