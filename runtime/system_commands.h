// The basic module's system commands and debugger hooks.
#pragma once

#include <span>

#include "command.h"

namespace tx {

// The 18 entries in registration order.
std::span<const CommandDef> systemCommands();

}  // namespace tx
