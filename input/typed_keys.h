// The characters typed on the keyboard as the pump last fed it, for line editing: each press
// that gives a character, then the held key repeating after 280 ms and every 40 ms after that.
#pragma once

#include <cstdint>

namespace tx {

class HostInput;

class TypedKeys {
public:
    static constexpr uint32_t kFirstRepeatMs = 280;
    static constexpr uint32_t kNextRepeatMs = 40;

    explicit TypedKeys(HostInput& input) : input_(input) {}

    // The next character typed or repeated by `now` (milliseconds of the caller's clock), as
    // asciiOfKey gives it (editing keys included), or 0 when none is due.
    int32_t next(uint32_t now);

private:
    HostInput& input_;
    int32_t heldKey_ = 0;
    uint32_t repeatTime_ = 0;
    uint32_t repeatDelay_ = kFirstRepeatMs;
};

}  // namespace tx
