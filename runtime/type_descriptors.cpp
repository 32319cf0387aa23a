#include "type_descriptors.h"

#include "guest_memory.h"
#include "language_layout.h"

namespace tx {

void writeTypeDescriptors(GuestMemory& memory) {
    memory.write<uint32_t>(lang::kIntType, kTagInt);
    memory.write<uint32_t>(lang::kFltType, kTagFloat);
    memory.write<uint32_t>(lang::kStrType, kTagString);
    memory.write<uint32_t>(lang::kCStrType, kTagCString);
}

void linkTypeDescriptors(CommandRegistrar& registrar) {
    registrar.addData("_txIntType", lang::kIntType);
    registrar.addData("_txFltType", lang::kFltType);
    registrar.addData("_txStrType", lang::kStrType);
    registrar.addData("_txCStrType", lang::kCStrType);
}

}  // namespace tx
