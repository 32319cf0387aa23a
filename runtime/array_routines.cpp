#include "array_routines.h"

#include <algorithm>

#include "basic_module.h"
#include "basic_state.h"
#include "guest_machine.h"
#include "language_layout.h"
#include "object_space.h"
#include "tx_error.h"

namespace tx {
namespace {

namespace arr = lang::array;

// How many of `cells` cells at `block` really belong to the block: none when the address is not
// a block of the runtime allocator (compiled code overwrote it), never past the block's end.
uint32_t cellsInBlock(GuestMachine& machine, GuestAddr block, uint64_t cells) {
    if (!basicState().memBlocks.contains(block)) return 0;
    return static_cast<uint32_t>(std::min<uint64_t>(cells, machine.heap().blockSize(block) / 4));
}

// Gives back what each cell holds: kind 3 strings, kind 5 objects.
void releaseCells(GuestMachine& machine, GuestAddr cells, uint32_t count, uint32_t kind) {
    if (kind != kTagString && kind != kTagObject) return;
    ObjectSpace s(machine.memory(), basicState());
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t value = s.word(cells + 4 * i);
        if (value == 0) continue;
        if (kind == kTagString)
            strRelease(value);
        else
            s.release(value);
    }
}

// The element count an array's scales describe, 0 when they describe none.
uint64_t dimensionedCells(GuestMemory& memory, GuestAddr array) {
    const uint32_t d = memory.read<uint32_t>(array + arr::kDimensions);
    if (d == 0 || d > arr::kMaxDimensions) return 0;
    const int32_t total = memory.read<int32_t>(array + arr::kScales + 4 * (d - 1));
    return total > 0 ? static_cast<uint64_t>(total) : 0;
}

}  // namespace

void txDimArray(GuestMachine& machine, GuestPtr<GuestArray> arrayPtr) {
    const GuestAddr array = arrayPtr.address();
    GuestMemory& memory = machine.memory();
    const uint32_t d = memory.read<uint32_t>(array + arr::kDimensions);
    if (d == 0 || d > arr::kMaxDimensions) runtimeError("Out of memory");
    const GuestAddr scales = array + arr::kScales;
    memory.bytes(scales, 4 * d);  // every scale lies in guest memory
    // Cumulative counts in 64 bits: each stays at most kMaxCells, so none wraps and every one
    // fits the 32-bit scale it is written to.
    int32_t counts[arr::kMaxDimensions];
    int64_t total = 1;
    for (uint32_t i = 0; i < d; ++i) {
        const int64_t extent = int64_t{memory.read<int32_t>(scales + 4 * i)} + 1;
        if (extent < 0) runtimeError("Array index out of bounds");
        total *= extent;
        if (total > static_cast<int64_t>(lang::kMaxCells)) runtimeError("Out of memory");
        counts[i] = static_cast<int32_t>(total);
    }
    const GuestAddr data = txAlloc(static_cast<uint32_t>(total * 4));
    for (uint32_t i = 0; i < d; ++i) memory.write<int32_t>(scales + 4 * i, counts[i]);
    memory.write<uint32_t>(array + arr::kData, data);
}

void txUndimArray(GuestMachine& machine, GuestPtr<GuestArray> arrayPtr) {
    const GuestAddr array = arrayPtr.address();
    GuestMemory& memory = machine.memory();
    const GuestAddr data = memory.read<uint32_t>(array + arr::kData);
    if (data == 0) return;
    const uint32_t kind = memory.read<uint32_t>(array + arr::kKind);
    if (kind == arr::kKindString || kind == arr::kKindObject)
        releaseCells(machine, data, cellsInBlock(machine, data, dimensionedCells(memory, array)),
                     kind);
    txFree(data);
    memory.write<uint32_t>(array + arr::kData, 0);
}

void txArrayBoundsEx() {
    runtimeError("Array index out of bounds");
}

GuestPtr<GuestVector> txVecAlloc(GuestMachine& machine, GuestPtr<GuestType> vecTypePtr) {
    const GuestAddr vecType = vecTypePtr.address();
    const uint32_t count = machine.memory().read<uint32_t>(vecType + lang::vectype::kCount);
    if (count > lang::kMaxCells) runtimeError("Out of memory");
    return txAlloc(count * 4);
}

void txVecFree(GuestMachine& machine, GuestPtr<GuestVector> vectorPtr,
               GuestPtr<GuestType> vecTypePtr) {
    const GuestAddr vector = vectorPtr.address();
    const GuestAddr vecType = vecTypePtr.address();
    if (vector == 0) return;
    GuestMemory& memory = machine.memory();
    const uint32_t count = memory.read<uint32_t>(vecType + lang::vectype::kCount);
    const GuestAddr elementType = memory.read<uint32_t>(vecType + lang::vectype::kElementType);
    const uint32_t tag = memory.read<uint32_t>(elementType);
    releaseCells(machine, vector, cellsInBlock(machine, vector, count), tag);
    txFree(vector);
}

void txVecBoundsEx() {
    runtimeError("Tervex array index out of bounds");
}

namespace {

constexpr CommandDef kRoutines[] = {
    command<txDimArray>("_txDimArray"),
    command<txUndimArray>("_txUndimArray"),
    command<txArrayBoundsEx>("_txArrayBoundsEx"),
    command<txVecAlloc>("_txVecAlloc"),
    command<txVecFree>("_txVecFree"),
    command<txVecBoundsEx>("_txVecBoundsEx"),
};

}  // namespace

std::span<const CommandDef> arraySupportRoutines() {
    return kRoutines;
}

}  // namespace tx
