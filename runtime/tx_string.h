// String values as commands see them: handles into the host-side string pool.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace tx {

// A new string that the receiver owns: what string-returning commands give back.
struct Str {
    uint32_t handle = 0;
};

// Reads the text of a live string handle; 0 and dead handles read as empty.
std::string_view strText(uint32_t handle);
// Returns a string to the pool; 0 and dead handles are ignored.
void strRelease(uint32_t handle);
// A new string holding a copy of the text.
Str strNew(std::string_view text);

// A string argument: the command owns it and it is released when the command returns.
class StrArg {
public:
    StrArg() = default;
    explicit StrArg(uint32_t handle) : handle_(handle) {}
    StrArg(StrArg&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}
    StrArg& operator=(StrArg&& other) noexcept {
        if (this != &other) {
            strRelease(handle_);
            handle_ = std::exchange(other.handle_, 0);
        }
        return *this;
    }
    StrArg(const StrArg&) = delete;
    StrArg& operator=(const StrArg&) = delete;
    ~StrArg() { strRelease(handle_); }

    std::string_view view() const { return strText(handle_); }
    uint32_t handle() const { return handle_; }
    // Hands the string on (for example as the result) instead of releasing it.
    Str release() { return Str{std::exchange(handle_, 0)}; }

private:
    uint32_t handle_ = 0;
};

}  // namespace tx
