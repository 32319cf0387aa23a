#include "sdl_joysticks.h"

#include <algorithm>

namespace tx {
namespace {

// SDL's axes run from -32768 to 32767; shifted to 0 ... 65535 they map onto -1.0 ... +1.0 with
// the factor 1 / 32767.5 in single precision, so that both ends are exact.
float axisValue(Sint16 raw) {
    constexpr float kFactor = 1.0f / 32767.5f;
    return static_cast<float>(int32_t{raw} + 32768) * kFactor - 1.0f;
}

// The triggers of a gamepad share one axis: the left one pushes it up, the right one down,
// both at rest leave it centred.
float triggerAxis(SDL_GameController* controller) {
    const int32_t left = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    const int32_t right = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    return axisValue(static_cast<Sint16>(std::clamp(left - right, -32768, 32767)));
}

constexpr int kMaxButtons = 31;

}  // namespace

SdlJoysticks::~SdlJoysticks() {
    for (Device& device : devices_) close(device);
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlJoysticks::close(Device& device) {
    if (device.controller != nullptr)
        SDL_GameControllerClose(device.controller);
    else if (device.joystick != nullptr)
        SDL_JoystickClose(device.joystick);
    device = Device{};
}

void SdlJoysticks::refresh() {
    if (!started_) {
        if (startFailed_) return;
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
            startFailed_ = true;
            return;
        }
        started_ = true;
    }
    SDL_JoystickUpdate();
    // Devices unplugged since: out of the list.
    std::erase_if(devices_, [](Device& device) {
        if (SDL_JoystickGetAttached(device.joystick) == SDL_TRUE) return false;
        close(device);
        return true;
    });
    // Devices plugged in since: at the end, in SDL's order.
    const int attached = SDL_NumJoysticks();
    for (int index = 0; index < attached; ++index) {
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        if (instance < 0 || std::any_of(devices_.begin(), devices_.end(),
                                        [&](const Device& d) { return d.instance == instance; }))
            continue;
        Device device;
        device.instance = instance;
        if (SDL_IsGameController(index) == SDL_TRUE) {
            device.controller = SDL_GameControllerOpen(index);
            if (device.controller != nullptr)
                device.joystick = SDL_GameControllerGetJoystick(device.controller);
        } else {
            device.joystick = SDL_JoystickOpen(index);
        }
        // A device that cannot be opened is skipped; the next refresh tries it again.
        if (device.joystick != nullptr) devices_.push_back(device);
    }
}

uint32_t SdlJoysticks::identity(int32_t port) const {
    return static_cast<uint32_t>(devices_[port].instance);
}

int32_t SdlJoysticks::type(int32_t port) const {
    return devices_[port].controller != nullptr ? kGamepad : kOtherJoystick;
}

bool SdlJoysticks::read(int32_t port, JoystickReading& reading) {
    const Device& device = devices_[port];
    if (SDL_JoystickGetAttached(device.joystick) != SDL_TRUE) return false;
    JoystickReading now;
    if (SDL_GameController* pad = device.controller; pad != nullptr) {
        now.axes[0] = axisValue(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
        now.axes[1] = axisValue(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        now.axes[2] = triggerAxis(pad);
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX && button < kMaxButtons; ++button)
            if (SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(button)))
                now.buttons |= 1u << button;
    } else {
        SDL_Joystick* stick = device.joystick;
        const int axes = std::min(SDL_JoystickNumAxes(stick), 3);
        for (int axis = 0; axis < axes; ++axis)
            now.axes[axis] = axisValue(SDL_JoystickGetAxis(stick, axis));
        const int buttons = std::min(SDL_JoystickNumButtons(stick), kMaxButtons);
        for (int button = 0; button < buttons; ++button)
            if (SDL_JoystickGetButton(stick, button) != 0) now.buttons |= 1u << button;
    }
    reading = now;
    return true;
}

}  // namespace tx
