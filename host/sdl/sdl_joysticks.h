// Joysticks on SDL: game controllers where SDL knows the device's layout, plain joysticks
// otherwise. SDL's joystick subsystem starts with the first refresh and stops with the set.
#pragma once

#include <SDL.h>

#include <vector>

#include "joystick_devices.h"

namespace tx {

class SdlJoysticks final : public JoystickDevices {
public:
    SdlJoysticks() = default;
    ~SdlJoysticks() override;
    SdlJoysticks(const SdlJoysticks&) = delete;
    SdlJoysticks& operator=(const SdlJoysticks&) = delete;

    void refresh() override;
    int32_t count() const override { return static_cast<int32_t>(devices_.size()); }
    uint32_t identity(int32_t port) const override;
    int32_t type(int32_t port) const override;
    bool read(int32_t port, JoystickReading& reading) override;

private:
    struct Device {
        SDL_JoystickID instance = -1;
        SDL_GameController* controller = nullptr;  // null for a plain joystick
        SDL_Joystick* joystick = nullptr;          // the controller's own, or the plain one
    };
    static void close(Device& device);

    bool started_ = false;
    bool startFailed_ = false;
    std::vector<Device> devices_;
};

}  // namespace tx
