/* The object life cycle through New, Store, Delete and Release, list walks and reordering, free
 * slots and their blocks, and fields that release what they hold. RuntimeStats marks the
 * checkpoints. */
#include "guest_report.h"

TX_OBJ_TYPE(Plain, 1, _txIntType);
TX_OBJ_TYPE(Counted, 1, _txIntType);
TX_VEC_TYPE(Names2, 2, _txStrType);
TX_OBJ_TYPE(Holder, 3, _txStrType, &Plain, &Names2);

static txObj* variable;
static txObj* other;

/* The values of field 0 along the list, as digits. */
static int listDigits(void* type) {
    int digits = 0;
    for (txObj* o = _txObjFirst(type); o != 0; o = _txObjNext(o))
        digits = digits * 10 + TX_INT_FIELD(o, 0);
    return digits;
}
static int listDigitsBackwards(void* type) {
    int digits = 0;
    for (txObj* o = _txObjLast(type); o != 0; o = _txObjPrev(o))
        digits = digits * 10 + TX_INT_FIELD(o, 0);
    return digits;
}
static int freeSlots(txObj* sentinel) {
    int n = 0;
    for (txObj* o = sentinel->next; o != sentinel; o = o->next) ++n;
    return n;
}

TX_MAIN {
    RuntimeStats(); /* 1: nothing yet */

    /* New then Delete with nothing holding it: both counts return; the slot is free again. */
    txObj* lone = _txObjNew(&Plain);
    putInt("TX_NEW_REFCOUNT", lone->refCount);
    putInt("TX_NEW_FIELDS_FOLLOW_HEADER", (char*)lone->fields == (char*)lone + 20);
    RuntimeStats(); /* 2: one active, one unreleased */
    _txObjDelete(lone);
    RuntimeStats(); /* 3: back to nothing */
    putInt("TX_FREED_AT_FREE_TAIL", Plain.free.prev == lone && lone->fields == 0);
    _txObjDelete(lone); /* a deleted object: nothing happens */
    _txObjDelete(0);

    /* New, stored in a variable, Delete: it stays allocated until the variable lets go. */
    txObj* kept = _txObjNew(&Plain);
    _txObjStore(&variable, kept);
    _txObjStore(&variable, kept); /* storing what the cell holds is safe */
    putInt("TX_STORED_REFCOUNT", kept->refCount);
    _txObjDelete(kept);
    RuntimeStats(); /* 4: none active, one unreleased */
    putInt("TX_FIRST_AFTER_DELETE", _txObjFirst(&Plain) == 0);
    putInt("TX_DELETED_EQUALS_NONE", _txObjCompare(kept, 0));
    _txObjStore(&variable, 0);
    RuntimeStats(); /* 5: nothing */

    /* Walks and reordering. */
    txObj* o1 = _txObjNew(&Plain);
    txObj* o2 = _txObjNew(&Plain);
    txObj* o3 = _txObjNew(&Plain);
    TX_INT_FIELD(o1, 0) = 1;
    TX_INT_FIELD(o2, 0) = 2;
    TX_INT_FIELD(o3, 0) = 3;
    putInt("TX_ORDER", listDigits(&Plain));
    putInt("TX_ORDER_BACKWARDS", listDigitsBackwards(&Plain));
    _txObjInsBefore(o3, o1);
    putInt("TX_AFTER_INSBEFORE", listDigits(&Plain));
    _txObjInsAfter(o3, o2);
    putInt("TX_AFTER_INSAFTER", listDigits(&Plain));
    _txObjInsBefore(o2, o2);
    _txObjInsAfter(o2, o2);
    putInt("TX_AFTER_SELF_MOVES", listDigits(&Plain));
    putInt("TX_COMPARE",
           _txObjCompare(o1, o1) * 100 + _txObjCompare(o1, o2) * 10 + _txObjCompare(o1, 0));
    /* A deleted object in the middle: walks skip it, Next from it goes on. */
    _txObjStore(&other, o2);
    _txObjDelete(o2);
    putInt("TX_SKIPS_DELETED", listDigits(&Plain));
    putInt("TX_NEXT_OF_DELETED", TX_INT_FIELD(_txObjNext(o2), 0));
    putInt("TX_PREV_OF_DELETED", TX_INT_FIELD(_txObjPrev(o2), 0));
    putInt("TX_TWO_DELETED_EQUAL", _txObjCompare(o2, kept));
    _txObjDeleteEach(&Plain);
    putInt("TX_AFTER_DELETE_EACH", _txObjFirst(&Plain) == 0 && _txObjLast(&Plain) == 0);
    RuntimeStats(); /* 6: none active, o2 unreleased */
    _txObjRelease(other);
    other = 0;
    RuntimeStats(); /* 7: nothing */

    /* Blocks of 512 slots: the 513th object needs a second block. */
    txObj* first = _txObjNew(&Counted);
    putInt("TX_FREE_AFTER_FIRST", freeSlots(&Counted.free));
    txObj* last = first;
    for (int i = 1; i < 512; ++i) last = _txObjNew(&Counted);
    putInt("TX_FREE_AFTER_512", freeSlots(&Counted.free));
    putInt("TX_FIRST_BLOCK_CONTIGUOUS", (char*)last - (char*)first == 511 * 24);
    _txObjNew(&Counted);
    putInt("TX_FREE_AFTER_513", freeSlots(&Counted.free));
    _txObjDeleteEach(&Counted);
    putInt("TX_FREE_AFTER_DELETE_EACH", freeSlots(&Counted.free));
    RuntimeStats(); /* 8: nothing */

    /* Fields: a string, an object and a vector of strings, all given back by Delete. */
    txObj* h = _txObjNew(&Holder);
    txstr* names = TX_VEC_FIELD(h, 2);
    putInt("TX_VECTOR_MADE", names != 0 && names[0] == 0 && names[1] == 0);
    _txStrStore(&TX_STR_FIELD(h, 0), _txStrConst("held"));
    _txStrStore(&names[1], _txStrConst("in vector"));
    txObj* part = _txObjNew(&Plain);
    _txObjStore(&TX_OBJ_FIELD(h, 1), part);
    putInt("TX_PART_REFCOUNT", part->refCount);
    RuntimeStats(); /* 9: two strings, two objects */
    _txObjDelete(h);
    putInt("TX_PART_REFCOUNT_AFTER", part->refCount);
    RuntimeStats(); /* 10: no strings, one object */
}
