#include "input_device.h"

namespace tx {

void InputDevice::reset() {
    axes_.fill(0.0f);
    hits_.fill(0);
    down_.fill(0);
    putCount_ = getCount_ = 0;
}

void InputDevice::press(int32_t code) {
    if (!validCode(code)) return;
    down_[code] = 1;
    ++hits_[code];
    if (putCount_ - getCount_ < kQueueLength) queue_[putCount_++ % kQueueLength] = code;
}

void InputDevice::release(int32_t code) {
    if (validCode(code)) down_[code] = 0;
}

void InputDevice::setState(int32_t code, bool down) {
    if (isDown(code) == down) return;
    if (down)
        press(code);
    else
        release(code);
}

bool InputDevice::isDown(int32_t code) const {
    return validCode(code) && down_[code] != 0;
}

int32_t InputDevice::takeHits(int32_t code) {
    if (!validCode(code)) return 0;
    const int32_t hits = hits_[code];
    hits_[code] = 0;
    return hits;
}

int32_t InputDevice::takeQueued() {
    if (getCount_ == putCount_) return 0;
    return queue_[getCount_++ % kQueueLength];
}

float InputDevice::axis(int32_t n) const {
    return validAxis(n) ? axes_[n] : 0.0f;
}

void InputDevice::setAxis(int32_t n, float value) {
    if (validAxis(n)) axes_[n] = value;
}

void InputDevice::addToAxis(int32_t n, float amount) {
    if (validAxis(n)) axes_[n] += amount;
}

void InputDevice::flush() {
    hits_.fill(0);
    putCount_ = getCount_ = 0;
}

}  // namespace tx
