// Objects as debugging text: "[field,field,...]", nested objects inline, with guards against
// cycles ("[ROOT]") and depth ("....").
#pragma once

#include <cstdint>

#include "tx_string.h"

namespace tx {

class GuestMachine;

Str txObjToStr(GuestMachine& machine, uint32_t object);

}  // namespace tx
