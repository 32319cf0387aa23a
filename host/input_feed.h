// Where the window's input goes while the event pump runs: the input module's keyboard and
// mouse. Keyboard codes are the program's (set-1 scan codes, plus 128 for extended keys);
// buttons are numbered from 1 (left, right, middle, then the two side buttons).
#pragma once

#include <cstdint>

namespace tx {

class InputFeed {
public:
    virtual ~InputFeed() = default;
    // A key went down or up; repeats of a held key never arrive.
    virtual void keyChanged(int32_t code, bool down) = 0;
    virtual void mouseButtonChanged(int32_t button, bool down) = 0;
    // The pointer moved by (dx, dy) pixels to (x, y) of the window's client area (a captured
    // pointer's position means nothing: only its motion counts).
    virtual void mouseMoved(int32_t x, int32_t y, int32_t dx, int32_t dy) = 0;
    // Wheel units, 120 per notch, positive away from the user.
    virtual void wheelTurned(int32_t delta) = 0;
};

}  // namespace tx
