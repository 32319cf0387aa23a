// The joysticks and game controllers plugged in, as ports 0, 1, ...: the platform's part of the
// input module's joysticks. The SDL set finds devices through SDL's game controller API where
// SDL knows the device and its joystick API otherwise; the null set has none.
#pragma once

#include <cstdint>

namespace tx {

// What one device reads now. Axes from -1.0 to +1.0 (an axis the device lacks reads 0.0);
// bit n - 1 of buttons is button n.
struct JoystickReading {
    float axes[3] = {0.0f, 0.0f, 0.0f};
    uint32_t buttons = 0;
};

class JoystickDevices {
public:
    // Devices of a kind SDL knows the layout of: a gamepad.
    static constexpr int32_t kGamepad = 1;
    static constexpr int32_t kOtherJoystick = 2;

    virtual ~JoystickDevices() = default;
    // Takes the devices plugged in or out since the last call into the list: a device that is
    // gone leaves it (the ports after it move down), a new one is added at the end.
    virtual void refresh() = 0;
    virtual int32_t count() const = 0;
    // A value that names the device at a port for as long as it stays plugged in.
    virtual uint32_t identity(int32_t port) const = 0;
    // kGamepad or kOtherJoystick.
    virtual int32_t type(int32_t port) const = 0;
    // The device's state now; false (reading unchanged) when it cannot be read.
    virtual bool read(int32_t port, JoystickReading& reading) = 0;
};

}  // namespace tx
