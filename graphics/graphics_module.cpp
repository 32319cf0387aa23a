// The graphics module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkGraphics(CommandRegistrar&) {}
bool graphicsCreate() { return true; }
void graphicsDestroy() {}

}  // namespace tx
