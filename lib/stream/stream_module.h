// The stream module: the generic stream commands and the registry of live streams.
#pragma once

#include "basic_module.h"

namespace tx {

void linkStream(CommandRegistrar& registrar);
bool streamCreate();
void streamDestroy();
inline constexpr LibraryModule kStreamModule{"stream", &linkStream, &streamCreate, &streamDestroy};

}  // namespace tx
