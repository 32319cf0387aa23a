// The sockets module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkSockets(CommandRegistrar&) {}
bool socketsCreate() { return true; }
void socketsDestroy() {}

}  // namespace tx
