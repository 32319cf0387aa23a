#include "host_input.h"

#include <algorithm>
#include <cmath>

#include "host_runtime.h"
#include "tx_error.h"

namespace tx {
namespace {

constexpr int32_t kMaxJoystickButtons = 31;

}  // namespace

HostInput::HostInput(HostRuntime& runtime, Now now)
    : runtime_(runtime), now_(now), captureChanges_(runtime.display().inputCaptureChanges()) {
    runtime_.setInputFeed(this);
}

HostInput::~HostInput() {
    runtime_.setInputFeed(nullptr);
}

void HostInput::pump() {
    if (!runtime_.idle()) endQuietly();
    followCapture();
}

void HostInput::followCapture() {
    const uint32_t changes = runtime_.display().inputCaptureChanges();
    if (changes == captureChanges_) return;
    captureChanges_ = changes;
    keyboard_.reset();
    mouse_.reset();
}

InputDevice& HostInput::keyboard() {
    pump();
    return keyboard_;
}

InputDevice& HostInput::mouse() {
    pump();
    return mouse_;
}

// ---- Joysticks

void HostInput::pollJoysticks() {
    const Clock::time_point now = now_();
    if (joysticksPolled_ && now - lastJoystickPoll_ < kJoystickPollPeriod) return;
    joysticksPolled_ = true;
    lastJoystickPoll_ = now;

    JoystickDevices& devices = runtime_.joysticks();
    devices.refresh();
    const int32_t count = devices.count();
    bool samePorts = static_cast<int32_t>(joysticks_.size()) == count;
    for (int32_t port = 0; samePorts && port < count; ++port)
        samePorts = joysticks_[port].identity == devices.identity(port);
    if (!samePorts) {
        // A device was plugged in or out: the list follows the platform's, and a joystick keeps
        // its state while it stays plugged in.
        std::vector<Joystick> current;
        current.reserve(static_cast<size_t>(count));
        for (int32_t port = 0; port < count; ++port) {
            const uint32_t identity = devices.identity(port);
            auto known = std::find_if(joysticks_.begin(), joysticks_.end(),
                                      [&](const Joystick& j) { return j.identity == identity; });
            current.push_back(known != joysticks_.end()
                                  ? std::move(*known)
                                  : Joystick{identity, devices.type(port), {}});
        }
        joysticks_ = std::move(current);
    }
    for (int32_t port = 0; port < count; ++port) {
        JoystickReading reading;
        if (!devices.read(port, reading)) continue;  // the state stays as it was
        InputDevice& device = joysticks_[port].device;
        for (int32_t axis = 0; axis < 3; ++axis) device.setAxis(axis, reading.axes[axis]);
        for (int32_t button = 1; button <= kMaxJoystickButtons; ++button)
            device.setState(button, (reading.buttons >> (button - 1) & 1u) != 0);
    }
}

InputDevice* HostInput::joystick(int32_t port) {
    pollJoysticks();
    return validPort(port) ? &joysticks_[port].device : nullptr;
}

int32_t HostInput::joystickType(int32_t port) {
    pollJoysticks();
    return validPort(port) ? joysticks_[port].type : 0;
}

void HostInput::flushJoysticks() {
    pollJoysticks();
    for (Joystick& joystick : joysticks_) joystick.device.flush();
}

// ---- Mouse placement

void HostInput::moveMouse(int32_t x, int32_t y) {
    mouse_.setAxis(0, static_cast<float>(x));
    mouse_.setAxis(1, static_cast<float>(y));
    if (!runtime_.display().inputCaptured()) runtime_.display().moveMouse(x, y);
}

// ---- Feeds (inside the pump)

void HostInput::keyChanged(int32_t code, bool down) {
    followCapture();
    keyboard_.setState(code, down);
}

void HostInput::mouseButtonChanged(int32_t button, bool down) {
    followCapture();
    mouse_.setState(button, down);
}

void HostInput::mouseMoved(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    followCapture();
    Display& display = runtime_.display();
    if (!display.inputCaptured()) {
        const auto [pictureX, pictureY] = display.pictureOfWindow(x, y);
        mouse_.setAxis(0, static_cast<float>(pictureX));
        mouse_.setAxis(1, static_cast<float>(pictureY));
        return;
    }
    // Full screen: the internal position moves by the motion, clamped to the graphics.
    const auto [width, height] = display.graphicsSize();
    if (width <= 0 || height <= 0) return;
    const auto moved = [](float from, int32_t by, int32_t side) {
        const auto to = static_cast<int64_t>(std::trunc(static_cast<float>(by) + from));
        return static_cast<float>(std::clamp<int64_t>(to, 0, side - 1));
    };
    mouse_.setAxis(0, moved(mouse_.axis(0), dx, width));
    mouse_.setAxis(1, moved(mouse_.axis(1), dy, height));
}

void HostInput::wheelTurned(int32_t delta) {
    followCapture();
    mouse_.addToAxis(2, static_cast<float>(delta));
}

}  // namespace tx
