// The string module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkString(CommandRegistrar&) {}
bool stringCreate() { return true; }
void stringDestroy() {}

}  // namespace tx
