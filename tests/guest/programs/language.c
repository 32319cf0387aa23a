/* The language routines from compiled code, where hand-made memory reaches what a compiled
 * program does not: objects and their lists, their text, arrays and vectors of references and
 * strings, the arithmetic helpers, and every way they end a program (the everyday rules are
 * checked by the compiler's conformance programs). The command line picks the case; RuntimeStats
 * marks the checkpoints whose counts the test knows. */
#include "check.h"

TX_OBJ_TYPE(Plain, 1, _txIntType);
TX_VEC_TYPE(Names2, 2, _txStrType);
TX_OBJ_TYPE(Holder, 3, _txStrType, &Plain, &Names2);
TX_OBJ_TYPE(Node, 3, _txIntType, _txFltType, &Node);
TX_OBJ_TYPE(Link, 2, _txIntType, &Link);
TX_OBJ_TYPE(Texts, 3, _txStrType, _txStrType, _txCStrType);
TX_OBJ_TYPE(Huge, 1, _txIntType);
TX_OBJ_TYPE(BadField, 2, _txIntType, (void*)0x10);
TX_VEC_TYPE(HugeVec, 0x40000000, _txIntType);
TX_VEC_TYPE(Names3, 3, _txStrType);
TX_ARRAY(ints, TX_KIND_INT, 1);
TX_ARRAY(grid, TX_KIND_FLOAT, 2);
TX_ARRAY(refs, TX_KIND_OBJECT_REF, 1);
TX_ARRAY(owned, TX_KIND_OBJECT, 1);

static txObj* variable;
static txObj* other;
static txObj* item; /* a For Each loop variable */
static volatile int smallest = -2147483647 - 1;

static txDataRecord badData[] = {TX_DATA_INT(1), {3, {.i = 9}}, TX_DATA_END};

/* The values of field 0 along a type's list, as digits, from its first or its last object. */
static int listDigits(void* type, int backwards) {
    int digits = 0;
    for (txObj* o = backwards ? _txObjLast(type) : _txObjFirst(type); o != 0;
         o = backwards ? _txObjPrev(o) : _txObjNext(o))
        digits = digits * 10 + TX_INT_FIELD(o, 0);
    return digits;
}

/* Stats: 0/0/0 0/1/1 0/0/0 0/0/1 0/0/0 0/0/1 0/0/0 2/2/2 0/1/1 */
static void objects(void) {
    RuntimeStats();
    /* New then Delete with nothing holding it: both counts return. */
    txObj* lone = _txObjNew(&Plain);
    CHECK(lone->refCount == 1);
    CHECK((char*)lone->fields == (char*)lone + 20);
    RuntimeStats();
    _txObjDelete(lone);
    RuntimeStats();
    CHECK(Plain.free.prev == lone && lone->fields == 0);
    _txObjDelete(lone); /* a deleted object: nothing happens */
    _txObjDelete(0);

    /* Stored in a variable, then deleted: allocated until the variable lets go. */
    txObj* kept = _txObjNew(&Plain);
    _txObjStore(&variable, kept);
    _txObjStore(&variable, kept); /* storing what the cell holds is safe */
    CHECK(kept->refCount == 2);
    _txObjDelete(kept);
    RuntimeStats();
    CHECK(_txObjFirst(&Plain) == 0);
    CHECK(_txObjCompare(kept, 0) == 0);
    _txObjStore(&variable, 0);
    RuntimeStats();

    /* A deleted object in the middle of a list: walks skip it, Next and Prev from it go on. */
    txObj* o1 = _txObjNew(&Plain);
    txObj* o2 = _txObjNew(&Plain);
    txObj* o3 = _txObjNew(&Plain);
    TX_INT_FIELD(o1, 0) = 1;
    TX_INT_FIELD(o2, 0) = 2;
    TX_INT_FIELD(o3, 0) = 3;
    CHECK(listDigits(&Plain, 0) == 123 && listDigits(&Plain, 1) == 321);
    _txObjInsBefore(o2, o2);
    _txObjInsAfter(o2, o2);
    CHECK(_txObjCompare(o1, o1) == 0 && _txObjCompare(o1, o2) == 1 && _txObjCompare(o1, 0) == 1);
    _txObjStore(&other, o2);
    _txObjDelete(o2);
    CHECK(listDigits(&Plain, 0) == 13);
    CHECK(TX_INT_FIELD(_txObjNext(o2), 0) == 3);
    CHECK(TX_INT_FIELD(_txObjPrev(o2), 0) == 1);
    CHECK(_txObjCompare(o2, kept) == 0);
    _txObjDeleteEach(&Plain);
    CHECK(_txObjFirst(&Plain) == 0 && _txObjLast(&Plain) == 0);
    RuntimeStats();
    _txObjRelease(other);
    other = 0;
    RuntimeStats();

    /* Fields: a string, an object and a vector of strings, all given back by Delete. */
    txObj* h = _txObjNew(&Holder);
    txstr* vec = TX_VEC_FIELD(h, 2);
    CHECK(vec != 0 && vec[0] == 0 && vec[1] == 0);
    _txStrStore(&TX_STR_FIELD(h, 0), _txStrConst("held"));
    _txStrStore(&vec[1], _txStrConst("in vector"));
    txObj* part = _txObjNew(&Plain);
    _txObjStore(&TX_OBJ_FIELD(h, 1), part);
    CHECK(part->refCount == 2);
    RuntimeStats();
    _txObjDelete(h);
    CHECK(part->refCount == 1);
    RuntimeStats();
}

/* Stats: 0/3/4 0/3/3 0/0/0 */
static void eachLoops(void) {
    for (int i = 1; i <= 5; ++i) TX_INT_FIELD(_txObjNew(&Plain), 0) = i;
    /* Visit all, deleting 2 and 3 (3 right after 2 was deleted). */
    int visited = 0;
    for (int more = _txObjEachFirst(&item, &Plain); more; more = _txObjEachNext(&item)) {
        const int value = TX_INT_FIELD(item, 0);
        visited = visited * 10 + value;
        if (value == 2 || value == 3) _txObjDelete(item);
        if (value == 3) RuntimeStats(); /* 2 is free, 3 is held by the loop */
    }
    CHECK(visited == 12345);
    CHECK(item == 0);
    RuntimeStats();
    int left = 0;
    for (int more = _txObjEachFirst(&item, &Plain); more; more = _txObjEachNext(&item))
        left = left * 10 + TX_INT_FIELD(item, 0);
    CHECK(left == 145);
    /* Deleting every object from inside the loop, the last one included. */
    for (int more = _txObjEachFirst(&item, &Plain); more; more = _txObjEachNext(&item))
        _txObjDelete(item);
    CHECK(_txObjEachFirst(&item, &Plain) == 0);
    RuntimeStats();
}

static void text(void) {
    /* Cycle and depth guards. */
    txObj* self = _txObjNew(&Node);
    TX_INT_FIELD(self, 0) = 1;
    TX_FLOAT_FIELD(self, 1) = 2.5f;
    _txObjStore(&TX_OBJ_FIELD(self, 2), self);
    CHECK(same(_txObjToStr(self), "[1,2.500000,[ROOT]]"));
    CHECK(same(_txObjToStr(0), "[NULL]"));
    txObj* p = _txObjNew(&Node);
    txObj* q = _txObjNew(&Node);
    TX_INT_FIELD(p, 0) = 7;
    TX_INT_FIELD(q, 0) = 8;
    _txObjStore(&TX_OBJ_FIELD(p, 2), q);
    _txObjStore(&TX_OBJ_FIELD(q, 2), p);
    CHECK(same(_txObjToStr(p), "[7,0.000000,[8,0.000000,[ROOT]]]"));
    txObj* chain[9];
    for (int i = 0; i < 9; ++i) {
        chain[i] = _txObjNew(&Link);
        TX_INT_FIELD(chain[i], 0) = i + 1;
        if (i > 0) _txObjStore(&TX_OBJ_FIELD(chain[i - 1], 1), chain[i]);
    }
    CHECK(same(_txObjToStr(chain[0]), "[1,[2,[3,[4,[5,[6,[7,[8,....]]]]]]]]"));
    CHECK(same(_txObjToStr(chain[6]), "[7,[8,[9,[NULL]]]]"));
    txObj* t = _txObjNew(&Texts);
    _txStrStore(&TX_STR_FIELD(t, 0), _txStrConst("abc"));
    CHECK(same(_txObjToStr(t), "[\"abc\",\"\",???]"));
    _txObjDelete(chain[8]);
    CHECK(same(_txObjToStr(chain[7]), "[8,[NULL]]"));
}

/* Dim a(n): what the compiler emits for it. */
static void dim1(void* array, int* scales, int upper) {
    _txUndimArray(array);
    scales[0] = upper;
    _txDimArray(array);
}

/* Stats: 0/2/2 2/2/2 0/2/2 */
static void arrays(void) {
    txObj* a = _txObjNew(&Plain);
    txObj* b = _txObjNew(&Plain);
    RuntimeStats();

    /* Arrays of references leave the counts alone; owning arrays give them back. */
    dim1(&refs, refs.scales, 1);
    _txObjStore(&TX_CELLS(refs, txObj*)[0], a);
    _txObjStore(&TX_CELLS(refs, txObj*)[1], b);
    dim1(&refs, refs.scales, 1);
    CHECK(a->refCount == 2 && b->refCount == 2);
    dim1(&owned, owned.scales, 1);
    _txObjStore(&TX_CELLS(owned, txObj*)[0], a);
    _txObjStore(&TX_CELLS(owned, txObj*)[1], a);
    CHECK(a->refCount == 4);
    dim1(&owned, owned.scales, 1);
    CHECK(a->refCount == 2);

    /* Vectors: zeroed cells; freeing one releases its strings. */
    txstr* v = _txVecAlloc(&Names3);
    CHECK(v[0] == 0 && v[1] == 0 && v[2] == 0);
    _txStrStore(&v[0], _txStrConst("x"));
    _txStrStore(&v[2], _txStrConst("z"));
    RuntimeStats();
    _txVecFree(v, &Names3);
    RuntimeStats();
}

static void arithmetic(void) {
    CHECK(_txMod(7, -3) == 1 && _txMod(-7, 3) == -1 && _txMod(6, 3) == 0);
    CHECK(_txMod(5, -1) == 0);
    CHECK(_txMod(smallest, 7) == -2);
    CHECK(_txAbs(-5) == 5 && _txAbs(smallest) == smallest);
    CHECK(_txSgn(smallest) == -1 && _txSgn(0) == 0 && _txSgn(42) == 1);
    CHECK(same(_txStrFromFloat(_txFMod(-7.0f, 3.0f)), "-1."));
    CHECK(same(_txStrFromFloat(_txFMod(7.0f, -3.0f)), "1.000000"));
    CHECK(same(_txStrFromFloat(_txFMod(1.0f, 0.0f)), "NAN"));
    CHECK(same(_txStrFromFloat(_txFPow(2.0f, 10.0f)), "1024.000000"));
    CHECK(same(_txStrFromFloat(_txFPow(-8.0f, 0.5f)), "NAN"));
    CHECK(_txFAbs(-1.5f) + _txFAbs(2.0f) == 3.5f);
    CHECK(same(_txStrFromFloat(_txFSgn(-0.25f) * 100.0f + _txFSgn(3.0f) * 10.0f + _txFSgn(-0.0f)),
               "-90."));
    CHECK(same(_txStrFromFloat(_txFSgn(_txFPow(-8.0f, 0.5f))), "-1."));
}

/* One bad call per run; each must end the program. */
static void failure(void) {
    static txObj* hold[3];
    if (argumentIs("mod-overflow")) _txMod(smallest, -1);
    if (argumentIs("null-next")) _txObjNext(0);
    if (argumentIs("bad-data")) {
        _txRestore(&badData[0]);
        _txReadInt();
        _txReadInt();
    }
    if (argumentIs("looping-list")) {
        /* Three deleted objects kept alive by references, their links bent into a ring. */
        for (int i = 0; i < 3; ++i) {
            _txObjStore(&hold[i], _txObjNew(&Plain));
            _txObjDelete(hold[i]);
        }
        hold[2]->next = hold[0];
        _txObjFirst(&Plain);
    }
    if (argumentIs("looping-delete-each")) {
        for (int i = 0; i < 2; ++i) _txObjStore(&hold[i], _txObjNew(&Plain));
        hold[1]->next = hold[0];
        _txObjDeleteEach(&Plain);
    }
    if (argumentIs("wild-link")) {
        _txObjNew(&Plain);
        Plain.used.next = (txObj*)0x12345;
        _txObjFirst(&Plain);
    }
    if (argumentIs("wild-type")) {
        txObj* o = _txObjNew(&Plain);
        o->type = (void*)0x7ffffff0;
        _txObjDelete(o);
    }
    if (argumentIs("huge-field-count")) {
        Huge.fieldCount = 0x7fffffff;
        _txObjNew(&Huge);
    }
    if (argumentIs("bad-field-type")) _txObjNew(&BadField);
    if (argumentIs("huge-array") || argumentIs("wrapping-array")) {
        /* 99999^2 cells are too many; 65536 * 65536 cells wrap to 0 in 32 bits. */
        grid.scales[0] = grid.scales[1] = argumentIs("huge-array") ? 99999 : 65535;
        _txDimArray(&grid);
    }
    if (argumentIs("negative-array")) {
        ints.scales[0] = -5;
        _txDimArray(&ints);
    }
    if (argumentIs("many-dimensions")) {
        ints.dimensions = 100000;
        _txDimArray(&ints);
    }
    if (argumentIs("huge-vector")) _txVecAlloc(&HugeVec);
    RuntimeError(_txStrConcat(_txStrConst("survived or unknown case "), CommandLine()));
}

TX_MAIN {
    static const txCase cases[] = {{"objects", objects},
                                   {"foreach", eachLoops},
                                   {"text", text},
                                   {"arrays", arrays},
                                   {"arithmetic", arithmetic}};
    if (!RUN_CASE(cases)) failure();
}
