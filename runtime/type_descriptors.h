// The four basic type descriptors (_txIntType, _txFltType, _txStrType, _txCStrType): one tag
// word each in the runtime data area of every guest, registered as data symbols.
#pragma once

#include "command_registry.h"

namespace tx {

class GuestMemory;

// Writes the descriptors' tag words; every guest gets them when it is made.
void writeTypeDescriptors(GuestMemory& memory);

// Registers the four data symbols, in order.
void linkTypeDescriptors(CommandRegistrar& registrar);

}  // namespace tx
