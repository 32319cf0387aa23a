// The input driver of a run: the keyboard, the mouse and the joysticks, each an InputDevice.
// Keyboard and mouse are fed by the window's events while the event pump runs; full screen
// owns them (the pointer is captured and moves an internal position by relative motion) and
// they start afresh at every change between full screen and a window. Joysticks are read from
// the platform at most every 3 ms.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "input_device.h"
#include "input_feed.h"

namespace tx {

class HostRuntime;

class HostInput final : public InputFeed {
public:
    using Clock = std::chrono::steady_clock;
    using Now = Clock::time_point (*)();
    static constexpr auto kJoystickPollPeriod = std::chrono::milliseconds(3);

    // Becomes the runtime's input feed. now: the clock of the joystick polls (tests pass one).
    explicit HostInput(HostRuntime& runtime, Now now = &Clock::now);
    ~HostInput() override;
    HostInput(const HostInput&) = delete;
    HostInput& operator=(const HostInput&) = delete;

    // The devices brought up to date: keyboard and mouse pump the window's events (ending the
    // program quietly when it must end), the joysticks are polled.
    InputDevice& keyboard();
    InputDevice& mouse();
    // Null for a port that names no joystick.
    InputDevice* joystick(int32_t port);
    // 1 gamepad, 2 other joystick, 0 for a port that names none.
    int32_t joystickType(int32_t port);
    void flushJoysticks();
    // Places the mouse: the internal position, and the pointer unless full screen owns it.
    void moveMouse(int32_t x, int32_t y);

    HostRuntime& runtime() { return runtime_; }
    // The keyboard as the pump last fed it, without pumping now (for the modifiers of a key's
    // character, and for Input, which pumps on its own schedule).
    const InputDevice& keyboardState() const { return keyboard_; }
    InputDevice& keyboardAsFed() {
        followCapture();
        return keyboard_;
    }
    // The mouse as the pump last fed it, without pumping now (for loops that pump on their own).
    InputDevice& mouseAsFed() {
        followCapture();
        return mouse_;
    }

    // ---- InputFeed
    void keyChanged(int32_t code, bool down) override;
    void mouseButtonChanged(int32_t button, bool down) override;
    void mouseMoved(int32_t x, int32_t y, int32_t dx, int32_t dy) override;
    void wheelTurned(int32_t delta) override;

private:
    struct Joystick {
        uint32_t identity = 0;
        int32_t type = 0;
        InputDevice device;
    };

    void pump();
    // Keyboard and mouse start afresh when full screen takes or gives them back.
    void followCapture();
    void pollJoysticks();
    bool validPort(int32_t port) const {
        return port >= 0 && port < static_cast<int32_t>(joysticks_.size());
    }

    HostRuntime& runtime_;
    Now now_;
    InputDevice keyboard_;
    InputDevice mouse_;
    std::vector<Joystick> joysticks_;
    Clock::time_point lastJoystickPoll_{};
    bool joysticksPolled_ = false;
    uint32_t captureChanges_ = 0;
};

}  // namespace tx
