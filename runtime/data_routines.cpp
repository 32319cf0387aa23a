#include "data_routines.h"

#include <bit>

#include "basic_state.h"
#include "guest_machine.h"
#include "language_layout.h"
#include "number_text.h"
#include "tx_error.h"

namespace tx {
namespace {

namespace rec = lang::data;

struct Record {
    uint32_t tag;
    uint32_t value;
};

// The record at the read pointer; the end record and unknown tags are errors that leave the
// pointer where it is. The value word of the end record is never read (it may be missing).
Record currentRecord(GuestMemory& memory, GuestAddr at) {
    const uint32_t tag = memory.read<uint32_t>(at);
    if (tag == rec::kEnd) runtimeError("Out of data");
    if (tag != rec::kInt && tag != rec::kFloat && tag != rec::kString)
        runtimeError("Bad data type");
    return {tag, memory.read<uint32_t>(at + 4)};
}

// Float to integer as the x86 truncating conversion does it: NaN and values out of range give
// -2147483648.
int32_t truncateToInt(float f) {
    if (!(f >= -2147483648.0f && f < 2147483648.0f)) return INT32_MIN;
    return static_cast<int32_t>(f);
}

}  // namespace

void txRestore(GuestPtr<GuestDataRecord> recordPtr) {
    const GuestAddr record = recordPtr.address();
    basicState().dataPointer = record;
}

int32_t txReadInt(GuestMachine& machine) {
    BasicModule& state = basicState();
    const Record r = currentRecord(machine.memory(), state.dataPointer);
    int32_t result;
    switch (r.tag) {
        case rec::kInt:
            result = static_cast<int32_t>(r.value);
            break;
        case rec::kFloat:
            result = truncateToInt(std::bit_cast<float>(r.value));
            break;
        default:
            result = parseInt(machine.memory().cString(r.value));
            break;
    }
    state.dataPointer += rec::kRecordSize;
    return result;
}

float txReadFloat(GuestMachine& machine) {
    BasicModule& state = basicState();
    const Record r = currentRecord(machine.memory(), state.dataPointer);
    float result;
    switch (r.tag) {
        case rec::kInt:
            result = static_cast<float>(static_cast<int32_t>(r.value));
            break;
        case rec::kFloat:
            result = std::bit_cast<float>(r.value);
            break;
        default:
            result = parseFloat(machine.memory().cString(r.value));
            break;
    }
    state.dataPointer += rec::kRecordSize;
    return result;
}

Str txReadStr(GuestMachine& machine) {
    BasicModule& state = basicState();
    const Record r = currentRecord(machine.memory(), state.dataPointer);
    Str result;
    switch (r.tag) {
        case rec::kInt:
            result = strNew(formatInt(static_cast<int32_t>(r.value)));
            break;
        case rec::kFloat:
            result = strNew(formatFloat(std::bit_cast<float>(r.value)));
            break;
        default:
            result = strNew(machine.memory().cString(r.value));
            break;
    }
    state.dataPointer += rec::kRecordSize;
    return result;
}

namespace {

constexpr CommandDef kRoutines[] = {
    command<txRestore>("_txRestore"),
    command<txReadInt>("_txReadInt"),
    command<txReadFloat>("_txReadFloat"),
    command<txReadStr>("_txReadStr"),
};

}  // namespace

std::span<const CommandDef> dataSupportRoutines() {
    return kRoutines;
}

}  // namespace tx
