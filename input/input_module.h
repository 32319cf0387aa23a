// The input module: keyboard, mouse and joysticks.
#pragma once

#include "basic_module.h"

namespace tx {

void linkInput(CommandRegistrar& registrar);
bool inputCreate();
void inputDestroy();
inline constexpr LibraryModule kInputModule{"input", &linkInput, &inputCreate, &inputDestroy};

}  // namespace tx
