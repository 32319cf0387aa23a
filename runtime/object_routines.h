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

namespace tx {

class GuestMachine;
struct BasicModule;

uint32_t txObjNew(GuestMachine& machine, uint32_t type);
void txObjDelete(GuestMachine& machine, uint32_t object);
void txObjDeleteEach(GuestMachine& machine, uint32_t type);
void txObjRelease(GuestMachine& machine, uint32_t object);
void txObjStore(GuestMachine& machine, uint32_t cell, uint32_t object);
// 0 when both name the same live object (deleted objects and none are all equal), else 1.
int32_t txObjCompare(GuestMachine& machine, uint32_t a, uint32_t b);
uint32_t txObjNext(GuestMachine& machine, uint32_t object);
uint32_t txObjPrev(GuestMachine& machine, uint32_t object);
uint32_t txObjFirst(GuestMachine& machine, uint32_t type);
uint32_t txObjLast(GuestMachine& machine, uint32_t type);
void txObjInsBefore(GuestMachine& machine, uint32_t a, uint32_t b);
void txObjInsAfter(GuestMachine& machine, uint32_t a, uint32_t b);
int32_t txObjEachFirst(GuestMachine& machine, uint32_t cell, uint32_t type);
int32_t txObjEachNext(GuestMachine& machine, uint32_t cell);
int32_t txObjToHandle(GuestMachine& machine, uint32_t object);
uint32_t txObjFromHandle(GuestMachine& machine, int32_t handle, uint32_t type);
void txNullObjEx();

// The eighteen object routines in registration order.
std::span<const CommandDef> objectSupportRoutines();

// Basic destroy: the object blocks are about to be freed, so the lists of every type that got
// blocks are emptied (a program linked into the same guest can then run again).
void objectsDestroy(GuestMachine& machine, BasicModule& state);

}  // namespace tx
