// Objects as debugging text: "[field,field,...]", nested objects inline, with guards against
// cycles ("[ROOT]") and depth ("....").
#pragma once

#include <cstdint>

#include "guest_memory.h"
#include "language_layout.h"
#include "tx_string.h"

namespace tx {

class GuestMachine;

Str txObjToStr(GuestMachine& machine, GuestPtr<GuestObject> object);

}  // namespace tx
