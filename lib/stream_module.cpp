// The stream module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkStream(CommandRegistrar&) {}
bool streamCreate() { return true; }
void streamDestroy() {}

}  // namespace tx
