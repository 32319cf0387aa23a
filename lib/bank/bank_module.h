// The bank module: raw memory blocks the program addresses by handle and byte offset.
#pragma once

#include "basic_module.h"

namespace tx {

void linkBank(CommandRegistrar& registrar);
bool bankCreate();
void bankDestroy();
inline constexpr LibraryModule kBankModule{"bank", &linkBank, &bankCreate, &bankDestroy};

}  // namespace tx
