// The math module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkMath(CommandRegistrar&) {}
bool mathCreate() { return true; }
void mathDestroy() {}

}  // namespace tx
