// The filesystem module: its commands arrive with its own change; until then it registers nothing.
#include "library_modules.h"

namespace tx {

void linkFilesystem(CommandRegistrar&) {}
bool filesystemCreate() { return true; }
void filesystemDestroy() {}

}  // namespace tx
