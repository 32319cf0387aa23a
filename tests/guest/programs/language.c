/* The language routines from compiled code: objects, their lists, handles and text, Dim arrays
 * and vectors, Data statements, the arithmetic helpers, and every way they end a program. The
 * command line picks the case; RuntimeStats marks the checkpoints whose counts the test knows. */
#include "check.h"

TX_OBJ_TYPE(Plain, 1, _txIntType);
TX_OBJ_TYPE(Counted, 1, _txIntType);
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
TX_ARRAY(names, TX_KIND_STRING, 1);
TX_ARRAY(refs, TX_KIND_OBJECT_REF, 1);
TX_ARRAY(owned, TX_KIND_OBJECT, 1);
TX_ARRAY(never, TX_KIND_STRING, 1);

static txObj* variable;
static txObj* other;
static txObj* item; /* a For Each loop variable */
static volatile int smallest = -2147483647 - 1;

static txDataRecord data[] = {
    TX_DATA_INT(5),        TX_DATA_INT(5),          TX_DATA_INT(-7),      TX_DATA_FLOAT(2.75f),
    TX_DATA_FLOAT(-2.75f), TX_DATA_FLOAT(1.5f),     TX_DATA_FLOAT(0.25f), TX_DATA_STR("12abc"),
    TX_DATA_STR("12abc"),  TX_DATA_STR(" -3.5e1x"), TX_DATA_END,
};
static txDataRecord badData[] = {TX_DATA_INT(1), {3, {.i = 9}}, TX_DATA_END};

/* The values of field 0 along a type's list, as digits, from its first or its last object. */
static int listDigits(void* type, int backwards) {
    int digits = 0;
    for (txObj* o = backwards ? _txObjLast(type) : _txObjFirst(type); o != 0;
         o = backwards ? _txObjPrev(o) : _txObjNext(o))
        digits = digits * 10 + TX_INT_FIELD(o, 0);
    return digits;
}

/* Stats: 0/0/0 0/1/1 0/0/0 0/0/1 0/0/0 0/0/1 0/0/0 0/0/0 2/2/2 0/1/1 */
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

    /* Walks and reordering. */
    txObj* o1 = _txObjNew(&Plain);
    txObj* o2 = _txObjNew(&Plain);
    txObj* o3 = _txObjNew(&Plain);
    TX_INT_FIELD(o1, 0) = 1;
    TX_INT_FIELD(o2, 0) = 2;
    TX_INT_FIELD(o3, 0) = 3;
    CHECK(listDigits(&Plain, 0) == 123);
    CHECK(listDigits(&Plain, 1) == 321);
    _txObjInsBefore(o3, o1);
    CHECK(listDigits(&Plain, 0) == 312);
    _txObjInsAfter(o3, o2);
    CHECK(listDigits(&Plain, 0) == 123);
    _txObjInsBefore(o2, o2);
    _txObjInsAfter(o2, o2);
    CHECK(listDigits(&Plain, 0) == 123);
    CHECK(_txObjCompare(o1, o1) == 0 && _txObjCompare(o1, o2) == 1 && _txObjCompare(o1, 0) == 1);
    /* A deleted object in the middle: walks skip it, Next and Prev from it go on. */
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

    /* More objects than one block of slots holds. */
    for (int i = 0; i < 600; ++i) TX_INT_FIELD(_txObjNew(&Counted), 0) = i;
    int count = 0;
    for (txObj* o = _txObjFirst(&Counted); o != 0; o = _txObjNext(o))
        CHECK(TX_INT_FIELD(o, 0) == count++);
    CHECK(count == 600);
    _txObjDeleteEach(&Counted);
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

static void handles(void) {
    /* Stable per object, numbered in order of first request, never reused, gone with it. */
    txObj* a = _txObjNew(&Node);
    txObj* b = _txObjNew(&Node);
    txObj* c = _txObjNew(&Plain);
    const int ha = _txObjToHandle(a);
    CHECK(ha == 1 && _txObjToHandle(a) == 1 && _txObjToHandle(b) == 2);
    CHECK(_txObjToHandle(0) == 0);
    const int hc = _txObjToHandle(c);
    CHECK(_txObjFromHandle(ha, &Node) == a);
    CHECK(_txObjFromHandle(hc, &Node) == 0);
    CHECK(_txObjFromHandle(12345, &Node) == 0 && _txObjFromHandle(0, &Node) == 0);
    _txObjDelete(a);
    CHECK(_txObjFromHandle(ha, &Node) == 0);
    CHECK(_txObjToHandle(a) == 0);
    txObj* d = _txObjNew(&Node);
    CHECK(_txObjToHandle(d) == 4);
    CHECK(_txObjFromHandle(ha, &Node) == 0);

    /* Text, with cycle and depth guards. */
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

/* Stats: 5/2/2 0/2/2 2/2/2 0/2/2 */
static void arrays(void) {
    dim1(&ints, ints.scales, 10);
    CHECK(ints.scales[0] == 11);
    for (int i = 0; i <= 10; ++i) TX_CELLS(ints, int)[i] = 7;
    dim1(&ints, ints.scales, 10);
    for (int i = 0; i <= 10; ++i) CHECK(TX_CELLS(ints, int)[i] == 0);

    _txUndimArray(&grid);
    grid.scales[0] = 3;
    grid.scales[1] = 4;
    _txDimArray(&grid);
    CHECK(grid.scales[0] == 4 && grid.scales[1] == 20);
    TX_CELLS(grid, float)[3 + 4 * grid.scales[0]] = 2.5f;
    CHECK(TX_CELLS(grid, float)[19] == 2.5f);
    _txUndimArray(&never);
    CHECK(never.data == 0);

    txObj* a = _txObjNew(&Plain);
    txObj* b = _txObjNew(&Plain);
    dim1(&names, names.scales, 4);
    for (int i = 0; i <= 4; ++i) _txStrStore(&TX_CELLS(names, txstr)[i], _txStrFromInt(i * 11));
    RuntimeStats();
    dim1(&names, names.scales, 2);
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

/* Ends with "Out of data". */
static void dataReads(void) {
    /* Each record read as an int (I), a float (F) or a string (S), and the text of the value. */
    static const char* const reads[] = {"I5",        "S5",        "F-7.", "I2",     "I-2",
                                        "S1.500000", "F0.250000", "I12",  "S12abc", "F-35."};
    _txRestore(&data[0]);
    for (int i = 0; i < 10; ++i) {
        const char kind = reads[i][0];
        txstr value = kind == 'I'   ? _txStrFromInt(_txReadInt())
                      : kind == 'S' ? _txReadStr()
                                    : _txStrFromFloat(_txReadFloat());
        CHECK(same(value, reads[i] + 1));
    }
    _txRestore(&data[3]); /* Restore to a label in the middle */
    CHECK(_txReadInt() == 2);
    _txRestore(&data[9]);
    _txReadStr();
    _txReadInt();
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
    if (argumentIs("mod-zero")) _txMod(1, 0);
    if (argumentIs("mod-overflow")) _txMod(smallest, -1);
    if (argumentIs("array-bounds")) _txArrayBoundsEx();
    if (argumentIs("vector-bounds")) _txVecBoundsEx();
    if (argumentIs("null-object")) _txNullObjEx();
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
    static const txCase cases[] = {{"objects", objects},       {"foreach", eachLoops},
                                   {"handles", handles},       {"arrays", arrays},
                                   {"arithmetic", arithmetic}, {"data", dataReads}};
    if (!RUN_CASE(cases)) failure();
}
