// The string module: text commands.
#pragma once

#include "basic_module.h"

namespace tx {

void linkString(CommandRegistrar& registrar);
bool stringCreate();
void stringDestroy();
inline constexpr LibraryModule kStringModule{"string", &linkString, &stringCreate, &stringDestroy};

}  // namespace tx
