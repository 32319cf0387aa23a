// Joysticks without a platform: devices that tests plug in, move and unplug.
#pragma once

#include <vector>

#include "joystick_devices.h"

namespace tx {

class NullJoysticks final : public JoystickDevices {
public:
    void refresh() override {}
    int32_t count() const override { return static_cast<int32_t>(devices_.size()); }
    uint32_t identity(int32_t port) const override { return devices_[port].identity; }
    int32_t type(int32_t port) const override { return devices_[port].type; }
    bool read(int32_t port, JoystickReading& reading) override;

    // ---- For tests
    // Adds a device at the end; returns its port.
    int32_t plug(int32_t type);
    void unplug(int32_t port);
    // What the device at the port reads from now on.
    JoystickReading& state(int32_t port) { return devices_[port].state; }

private:
    struct Device {
        uint32_t identity = 0;
        int32_t type = kGamepad;
        JoystickReading state;
    };
    std::vector<Device> devices_;
    uint32_t nextIdentity_ = 1;
};

}  // namespace tx
