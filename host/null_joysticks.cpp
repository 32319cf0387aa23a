#include "null_joysticks.h"

namespace tx {

bool NullJoysticks::read(int32_t port, JoystickReading& reading) {
    reading = devices_[port].state;
    return true;
}

int32_t NullJoysticks::plug(int32_t type) {
    devices_.push_back(Device{nextIdentity_++, type, {}});
    return count() - 1;
}

void NullJoysticks::unplug(int32_t port) {
    devices_.erase(devices_.begin() + port);
}

}  // namespace tx
