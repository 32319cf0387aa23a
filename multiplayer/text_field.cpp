#include "text_field.h"

namespace tx::net {

void TextField::set(std::string_view text) {
    text_.assign(text.substr(0, maxLength_));
    caret_ = text_.size();
}

bool TextField::apply(int32_t code) {
    switch (code) {
        case kHome:
            if (caret_ == 0) return false;
            caret_ = 0;
            return true;
        case kEnd:
            if (caret_ == text_.size()) return false;
            caret_ = text_.size();
            return true;
        case kDelete:
            if (caret_ >= text_.size()) return false;
            text_.erase(caret_, 1);
            return true;
        case kBackspace:
            if (caret_ == 0) return false;
            text_.erase(--caret_, 1);
            return true;
        case kRight:
            if (caret_ >= text_.size()) return false;
            ++caret_;
            return true;
        case kLeft:
            if (caret_ == 0) return false;
            --caret_;
            return true;
        default:
            if (code < 32 || code > 255 || code == 127 || text_.size() >= maxLength_) return false;
            text_.insert(caret_++, 1, static_cast<char>(code));
            return true;
    }
}

}  // namespace tx::net
