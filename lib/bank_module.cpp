// The bank module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkBank(CommandRegistrar&) {}
bool bankCreate() { return true; }
void bankDestroy() {}

}  // namespace tx
