#include "typed_keys.h"

#include "host_input.h"
#include "key_characters.h"

namespace tx {

int32_t TypedKeys::next(uint32_t now) {
    InputDevice& keyboard = input_.keyboardAsFed();
    if (const int32_t key = keyboard.takeQueued(); key != 0) {
        if (const int32_t c = asciiOfKey(key, keyboard); c != 0) {
            heldKey_ = key;
            repeatTime_ = now;
            repeatDelay_ = kFirstRepeatMs;
            return c;
        }
    }
    if (heldKey_ == 0) return 0;
    if (!keyboard.isDown(heldKey_)) {
        heldKey_ = 0;
    } else if (now - repeatTime_ > repeatDelay_) {
        if (const int32_t c = asciiOfKey(heldKey_, keyboard); c != 0) {
            repeatTime_ += repeatDelay_;
            repeatDelay_ = kNextRepeatMs;
            return c;
        }
    }
    return 0;
}

}  // namespace tx
