// The graphics module: drivers and modes, buffers, pixels and drawing.
#pragma once

#include "basic_module.h"

namespace tx {

void linkGraphics(CommandRegistrar& registrar);
bool graphicsCreate();
void graphicsDestroy();
inline constexpr LibraryModule kGraphicsModule{"graphics", &linkGraphics, &graphicsCreate,
                                               &graphicsDestroy};

}  // namespace tx
