// The math module: arithmetic, trigonometry and random numbers.
#pragma once

#include "basic_module.h"

namespace tx {

void linkMath(CommandRegistrar& registrar);
bool mathCreate();
void mathDestroy();
inline constexpr LibraryModule kMathModule{"math", &linkMath, &mathCreate, &mathDestroy};

}  // namespace tx
