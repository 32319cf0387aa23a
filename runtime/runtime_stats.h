// "RuntimeStats": the live string and object counts, and every live string, on standard error.
#pragma once

#include "command.h"

namespace tx {

void runtimeStats();

// The command's registry entry.
const CommandDef& runtimeStatsCommand();

}  // namespace tx
