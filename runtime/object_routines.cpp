#include "object_routines.h"

#include <algorithm>
#include <cstring>

#include "array_routines.h"
#include "basic_module.h"
#include "guest_machine.h"
#include "object_space.h"
#include "object_text.h"
#include "tx_error.h"

namespace tx {
namespace {

using lang::obj::kHeaderSize;
using lang::objtype::kSlotsPerBlock;

ObjectSpace space(GuestMachine& machine) {
    return ObjectSpace(machine.memory(), basicState());
}

// One more block of slots for the type, appended to its free list in address order.
void growFreeList(ObjectSpace& s, GuestAddr type, uint32_t fieldCount) {
    // fieldCount is at most kMaxFields, so a block fits in 32 bits and in the heap.
    const uint32_t slotSize = kHeaderSize + 4 * fieldCount;
    const GuestAddr block = txAlloc(slotSize * kSlotsPerBlock);
    BasicModule& state = s.state();
    state.objectSlots += kSlotsPerBlock;
    if (std::find(state.objectTypes.begin(), state.objectTypes.end(), type) ==
        state.objectTypes.end())
        state.objectTypes.push_back(type);
    const GuestAddr sentinel = ObjectSpace::freeList(type);
    for (uint32_t k = 0; k < kSlotsPerBlock; ++k) {
        const GuestAddr slot = block + k * slotSize;
        s.setType(slot, type);
        s.linkBefore(slot, sentinel);
    }
}

// Stores o into a cell that holds a reference: the new reference is taken before the old one
// is given back, so storing what the cell already holds is safe.
void assign(ObjectSpace& s, GuestAddr cell, GuestAddr o) {
    const GuestAddr old = s.word(cell);  // a bad cell ends the program before anything changes
    if (o != 0) s.addRef(o);
    s.release(old);
    s.setWord(cell, o);
}

void deleteObject(GuestMachine& machine, ObjectSpace& s, GuestAddr o) {
    const GuestAddr cells = s.fields(o);
    if (cells == 0) return;
    const ObjectSpace::Fields f = s.typeFields(s.type(o), "Illegal memory address");
    for (uint32_t i = 0; i < f.count; ++i) {
        const uint32_t value = s.word(cells + 4 * i);
        switch (s.fieldTag(f, i)) {
            case kTagString:
                strRelease(value);
                break;
            case kTagObject:
                s.release(value);
                break;
            case kTagVector:
                txVecFree(machine, value, s.fieldType(f, i));
                break;
            default:
                break;
        }
    }
    if (!s.state().objectOfHandle.empty()) s.forgetHandle(o);
    s.setFields(o, 0);
    s.release(o);
    --s.state().activeObjects;
}

}  // namespace

GuestPtr<GuestObject> txObjNew(GuestMachine& machine, GuestPtr<GuestType> typePtr) {
    const GuestAddr type = typePtr.address();
    ObjectSpace s = space(machine);
    const ObjectSpace::Fields f = s.typeFields(type, "Out of memory");
    const GuestAddr freeSentinel = ObjectSpace::freeList(type);
    if (s.next(freeSentinel) == freeSentinel) growFreeList(s, type, f.count);
    const GuestAddr o = s.next(freeSentinel);
    s.unlink(o);
    const GuestAddr cells = o + kHeaderSize;
    s.setFields(o, cells);
    s.setType(o, type);
    s.setRefCount(o, 1);
    std::memset(machine.memory().writableBytes(cells, 4 * f.count), 0, 4 * f.count);
    for (uint32_t i = 0; i < f.count; ++i)
        if (s.fieldTag(f, i) == kTagVector)
            s.setWord(cells + 4 * i, txVecAlloc(machine, s.fieldType(f, i)).address());
    ++s.state().activeObjects;
    ++s.state().unreleasedObjects;
    s.linkBefore(o, ObjectSpace::usedList(type));
    return o;
}

void txObjDelete(GuestMachine& machine, GuestPtr<GuestObject> objectPtr) {
    const GuestAddr object = objectPtr.address();
    if (object == 0) return;
    ObjectSpace s = space(machine);
    deleteObject(machine, s, object);
}

void txObjDeleteEach(GuestMachine& machine, GuestPtr<GuestType> typePtr) {
    const GuestAddr type = typePtr.address();
    ObjectSpace s = space(machine);
    ObjectSpace::Walk walk(s);
    // The entry being visited is held by a reference, so deleting it (or whatever its fields
    // release) cannot move it or its successor to the free list while the walk needs its links.
    GuestAddr current = s.next(ObjectSpace::usedList(type));
    if (!s.isSentinel(current)) s.addRef(current);
    while (!s.isSentinel(current)) {
        if (s.isLive(current)) deleteObject(machine, s, current);
        const GuestAddr following = s.next(current);
        if (!s.isSentinel(following)) s.addRef(following);
        s.release(current);
        current = following;
        walk.step();
    }
}

void txObjRelease(GuestMachine& machine, GuestPtr<GuestObject> objectPtr) {
    const GuestAddr object = objectPtr.address();
    if (object == 0) return;
    space(machine).release(object);
}

void txObjStore(GuestMachine& machine, GuestPtr<uint32_t> cellPtr,
                GuestPtr<GuestObject> objectPtr) {
    const GuestAddr cell = cellPtr.address();
    const GuestAddr object = objectPtr.address();
    ObjectSpace s = space(machine);
    assign(s, cell, object);
}

int32_t txObjCompare(GuestMachine& machine, GuestPtr<GuestObject> aPtr,
                     GuestPtr<GuestObject> bPtr) {
    const GuestAddr a = aPtr.address();
    const GuestAddr b = bPtr.address();
    ObjectSpace s = space(machine);
    const GuestAddr fa = a != 0 ? s.fields(a) : 0;
    const GuestAddr fb = b != 0 ? s.fields(b) : 0;
    return fa == fb ? 0 : 1;
}

GuestPtr<GuestObject> txObjNext(GuestMachine& machine, GuestPtr<GuestObject> objectPtr) {
    const GuestAddr object = objectPtr.address();
    ObjectSpace s = space(machine);
    return s.liveFrom(s.next(object), true);
}

GuestPtr<GuestObject> txObjPrev(GuestMachine& machine, GuestPtr<GuestObject> objectPtr) {
    const GuestAddr object = objectPtr.address();
    ObjectSpace s = space(machine);
    return s.liveFrom(s.prev(object), false);
}

GuestPtr<GuestObject> txObjFirst(GuestMachine& machine, GuestPtr<GuestType> typePtr) {
    const GuestAddr type = typePtr.address();
    ObjectSpace s = space(machine);
    return s.liveFrom(s.next(ObjectSpace::usedList(type)), true);
}

GuestPtr<GuestObject> txObjLast(GuestMachine& machine, GuestPtr<GuestType> typePtr) {
    const GuestAddr type = typePtr.address();
    ObjectSpace s = space(machine);
    return s.liveFrom(s.prev(ObjectSpace::usedList(type)), false);
}

void txObjInsBefore(GuestMachine& machine, GuestPtr<GuestObject> aPtr, GuestPtr<GuestObject> bPtr) {
    const GuestAddr a = aPtr.address();
    const GuestAddr b = bPtr.address();
    if (a == b) return;
    ObjectSpace s = space(machine);
    s.unlink(a);
    s.linkBefore(a, b);
}

void txObjInsAfter(GuestMachine& machine, GuestPtr<GuestObject> aPtr, GuestPtr<GuestObject> bPtr) {
    const GuestAddr a = aPtr.address();
    const GuestAddr b = bPtr.address();
    if (a == b) return;
    ObjectSpace s = space(machine);
    s.unlink(a);
    s.linkAfter(a, b);
}

int32_t txObjEachFirst(GuestMachine& machine, GuestPtr<uint32_t> cellPtr,
                       GuestPtr<GuestType> typePtr) {
    const GuestAddr cell = cellPtr.address();
    const GuestAddr type = typePtr.address();
    ObjectSpace s = space(machine);
    const GuestAddr o = s.liveFrom(s.next(ObjectSpace::usedList(type)), true);
    assign(s, cell, o);
    return o != 0 ? 1 : 0;
}

int32_t txObjEachNext(GuestMachine& machine, GuestPtr<uint32_t> cellPtr) {
    const GuestAddr cell = cellPtr.address();
    ObjectSpace s = space(machine);
    const GuestAddr o = s.liveFrom(s.next(s.word(cell)), true);
    assign(s, cell, o);
    return o != 0 ? 1 : 0;
}

int32_t txObjToHandle(GuestMachine& machine, GuestPtr<GuestObject> objectPtr) {
    const GuestAddr object = objectPtr.address();
    if (object == 0) return 0;
    ObjectSpace s = space(machine);
    if (!s.isLive(object)) return 0;
    BasicModule& state = s.state();
    if (const auto it = state.handleOfObject.find(object); it != state.handleOfObject.end())
        return static_cast<int32_t>(it->second);
    // Every live object has a slot, so there cannot be more handles than slots: the address is
    // no object, and its handle would only grow the maps.
    if (state.objectOfHandle.size() >= state.objectSlots) runtimeError("Object does not exist");
    // Handles count up from 1 and are never reused; after a wrap, 0 and handles still in use
    // are skipped.
    do {
        ++state.handleCounter;
    } while (state.handleCounter == 0 || state.objectOfHandle.contains(state.handleCounter));
    state.objectOfHandle.emplace(state.handleCounter, object);
    state.handleOfObject.emplace(object, state.handleCounter);
    return static_cast<int32_t>(state.handleCounter);
}

GuestPtr<GuestObject> txObjFromHandle(GuestMachine& machine, int32_t handle,
                                      GuestPtr<GuestType> typePtr) {
    const GuestAddr type = typePtr.address();
    BasicModule& state = basicState();
    const auto it = state.objectOfHandle.find(static_cast<uint32_t>(handle));
    if (it == state.objectOfHandle.end()) return 0;
    ObjectSpace s(machine.memory(), state);
    const GuestAddr o = it->second;
    return s.type(o) == type && s.isLive(o) ? o : 0;
}

void txNullObjEx() {
    runtimeError("Object does not exist");
}

void objectsDestroy(GuestMachine& machine, BasicModule& state) {
    GuestMemory& memory = machine.memory();
    for (const GuestAddr type : state.objectTypes) {
        for (const GuestAddr sentinel :
             {ObjectSpace::usedList(type), ObjectSpace::freeList(type)}) {
            if (!GuestMemory::isMapped(sentinel, kHeaderSize)) continue;
            memory.write<uint32_t>(sentinel + lang::obj::kNext, sentinel);
            memory.write<uint32_t>(sentinel + lang::obj::kPrev, sentinel);
        }
    }
    state.objectTypes.clear();
}

namespace {

constexpr CommandDef kRoutines[] = {
    command<txObjNew>("_txObjNew"),
    command<txObjDelete>("_txObjDelete"),
    command<txObjDeleteEach>("_txObjDeleteEach"),
    command<txObjRelease>("_txObjRelease"),
    command<txObjStore>("_txObjStore"),
    command<txObjCompare>("_txObjCompare"),
    command<txObjNext>("_txObjNext"),
    command<txObjPrev>("_txObjPrev"),
    command<txObjFirst>("_txObjFirst"),
    command<txObjLast>("_txObjLast"),
    command<txObjInsBefore>("_txObjInsBefore"),
    command<txObjInsAfter>("_txObjInsAfter"),
    command<txObjEachFirst>("_txObjEachFirst"),
    command<txObjEachNext>("_txObjEachNext"),
    command<txObjToStr>("_txObjToStr"),
    command<txObjToHandle>("_txObjToHandle"),
    command<txObjFromHandle>("_txObjFromHandle"),
    command<txNullObjEx>("_txNullObjEx"),
};

}  // namespace

std::span<const CommandDef> objectSupportRoutines() {
    return kRoutines;
}

}  // namespace tx
