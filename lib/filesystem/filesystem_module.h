// The file-system module: file streams, listings and file-name operations.
#pragma once

#include "basic_module.h"

namespace tx {

void linkFilesystem(CommandRegistrar& registrar);
bool filesystemCreate();
void filesystemDestroy();
inline constexpr LibraryModule kFilesystemModule{"filesystem", &linkFilesystem, &filesystemCreate,
                                                 &filesystemDestroy};

}  // namespace tx
