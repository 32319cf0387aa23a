// The support routines compiled code calls for user-type objects: making, deleting and
// reference counting instances, walking and reordering each type's list, and object handles.
//
// Type descriptors and instances live in guest memory (layouts in language_layout.h). An object
// argument or result is the instance's guest address, 0 for none; an object cell is a 4-byte
// guest word that holds one reference.
#pragma once

#include <cstdint>
#include <span>

#include "command.h"
#include "language_layout.h"

namespace tx {

class GuestMachine;
struct BasicModule;

GuestPtr<GuestObject> txObjNew(GuestMachine& machine, GuestPtr<GuestType> type);
void txObjDelete(GuestMachine& machine, GuestPtr<GuestObject> object);
void txObjDeleteEach(GuestMachine& machine, GuestPtr<GuestType> type);
void txObjRelease(GuestMachine& machine, GuestPtr<GuestObject> object);
void txObjStore(GuestMachine& machine, GuestPtr<uint32_t> cell, GuestPtr<GuestObject> object);
// 0 when both name the same live object (deleted objects and none are all equal), else 1.
int32_t txObjCompare(GuestMachine& machine, GuestPtr<GuestObject> a, GuestPtr<GuestObject> b);
GuestPtr<GuestObject> txObjNext(GuestMachine& machine, GuestPtr<GuestObject> object);
GuestPtr<GuestObject> txObjPrev(GuestMachine& machine, GuestPtr<GuestObject> object);
GuestPtr<GuestObject> txObjFirst(GuestMachine& machine, GuestPtr<GuestType> type);
GuestPtr<GuestObject> txObjLast(GuestMachine& machine, GuestPtr<GuestType> type);
void txObjInsBefore(GuestMachine& machine, GuestPtr<GuestObject> a, GuestPtr<GuestObject> b);
void txObjInsAfter(GuestMachine& machine, GuestPtr<GuestObject> a, GuestPtr<GuestObject> b);
int32_t txObjEachFirst(GuestMachine& machine, GuestPtr<uint32_t> cell, GuestPtr<GuestType> type);
int32_t txObjEachNext(GuestMachine& machine, GuestPtr<uint32_t> cell);
int32_t txObjToHandle(GuestMachine& machine, GuestPtr<GuestObject> object);
GuestPtr<GuestObject> txObjFromHandle(GuestMachine& machine, int32_t handle,
                                      GuestPtr<GuestType> type);
void txNullObjEx();

// The eighteen object routines in registration order.
std::span<const CommandDef> objectSupportRoutines();

// Basic destroy: the object blocks are about to be freed, so the lists of every type that got
// blocks are emptied (a program linked into the same guest can then run again).
void objectsDestroy(GuestMachine& machine, BasicModule& state);

}  // namespace tx
