// The state every input device keeps: which codes are down, how often each was pressed since
// it was last asked, a queue of the last 32 presses, and 32 axes. The keyboard's codes are key
// codes, the mouse's and the joysticks' are button numbers.
#pragma once

#include <array>
#include <cstdint>

namespace tx {

class InputDevice {
public:
    static constexpr int32_t kCodes = 256;
    static constexpr int32_t kAxes = 32;
    static constexpr int32_t kQueueLength = 32;

    // Everything up and at rest, nothing counted or queued.
    void reset();
    // A press: down, counted, and queued unless 32 presses already wait (it is still counted).
    void press(int32_t code);
    void release(int32_t code);
    // Presses or releases, unless the code is already in that state.
    void setState(int32_t code, bool down);

    // Codes and axis numbers outside the arrays read as 0 and change nothing.
    bool isDown(int32_t code) const;
    // The presses counted since the last call.
    int32_t takeHits(int32_t code);
    // The oldest queued press, or 0 when none waits.
    int32_t takeQueued();
    float axis(int32_t n) const;
    void setAxis(int32_t n, float value);
    void addToAxis(int32_t n, float amount);
    // Forgets the counts and the queue; what is down and the axes stay.
    void flush();

private:
    static bool validCode(int32_t code) { return code >= 0 && code < kCodes; }
    static bool validAxis(int32_t n) { return n >= 0 && n < kAxes; }

    std::array<float, kAxes> axes_{};
    std::array<int32_t, kCodes> hits_{};
    std::array<uint8_t, kCodes> down_{};
    std::array<int32_t, kQueueLength> queue_{};
    // Presses queued and taken; unsigned, so that wrapping round is defined.
    uint32_t putCount_ = 0;
    uint32_t getCount_ = 0;
};

}  // namespace tx
