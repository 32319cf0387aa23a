// The character a key gives (GetKey, WaitKey), on a US keyboard layout with the Shift, Ctrl and
// Alt keys as they are down now; lock keys do not count.
#pragma once

#include <cstdint>

namespace tx {

class InputDevice;

// Home 1, End 2, Insert 3, Delete 4, Page Up 5, Page Down 6, Up 28, Down 29, Right 30, Left 31;
// otherwise the character (0 to 255), or 0 for a key that gives none.
int32_t asciiOfKey(int32_t code, const InputDevice& keyboard);

}  // namespace tx
