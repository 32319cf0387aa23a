/* Dim arrays and vectors as compiled code uses them: dimensioning, re-dimensioning arrays of
 * strings and objects, and vectors of strings. RuntimeStats marks the checkpoints. */
#include "guest_report.h"

TX_ARRAY(ints, TX_KIND_INT, 1);
TX_ARRAY(grid, TX_KIND_FLOAT, 2);
TX_ARRAY(names, TX_KIND_STRING, 1);
TX_ARRAY(refs, TX_KIND_OBJECT_REF, 1);
TX_ARRAY(owned, TX_KIND_OBJECT, 1);
TX_ARRAY(never, TX_KIND_STRING, 1);
TX_OBJ_TYPE(Thing, 1, _txIntType);
TX_VEC_TYPE(Names3, 3, _txStrType);

/* Dim a(n): what the compiler emits for it. */
static void dim1(void* array, int* scales, int upper) {
    _txUndimArray(array);
    scales[0] = upper;
    _txDimArray(array);
}

TX_MAIN {
    /* Dim ints(10): 11 zeroed cells, also after the cells were used and the array re-dimensioned.
     */
    dim1(&ints, ints.scales, 10);
    putInt("TX_INTS_SCALE", ints.scales[0]);
    for (int i = 0; i <= 10; ++i) TX_CELLS(ints, int)[i] = 7;
    dim1(&ints, ints.scales, 10);
    int sum = 0;
    for (int i = 0; i <= 10; ++i) sum += TX_CELLS(ints, int)[i];
    putInt("TX_INTS_SUM_AFTER_REDIM", sum);

    /* Dim grid(3, 4): scales 4 and 20; the last cell is (3, 4). */
    _txUndimArray(&grid);
    grid.scales[0] = 3;
    grid.scales[1] = 4;
    _txDimArray(&grid);
    putText("TX_GRID_SCALES",
            _txStrConcat(_txStrConcat(_txStrFromInt(grid.scales[0]), _txStrConst(",")),
                         _txStrFromInt(grid.scales[1])));
    TX_CELLS(grid, float)[3 + 4 * grid.scales[0]] = 2.5f;
    putText("TX_GRID_LAST", _txStrFromFloat(TX_CELLS(grid, float)[19]));

    /* Undim of an array that was never dimensioned does nothing. */
    _txUndimArray(&never);
    putInt("TX_NEVER_DATA", never.data == 0);

    /* Strings: five held, all released by the re-Dim. */
    dim1(&names, names.scales, 4);
    for (int i = 0; i <= 4; ++i) _txStrStore(&TX_CELLS(names, txstr)[i], _txStrFromInt(i * 11));
    RuntimeStats(); /* 1: five strings */
    dim1(&names, names.scales, 2);
    RuntimeStats(); /* 2: none */

    /* Objects held by reference (kind 4): the re-Dim leaves their counts alone. */
    txObj* a = _txObjNew(&Thing);
    txObj* b = _txObjNew(&Thing);
    dim1(&refs, refs.scales, 1);
    _txObjStore(&TX_CELLS(refs, txObj*)[0], a);
    _txObjStore(&TX_CELLS(refs, txObj*)[1], b);
    dim1(&refs, refs.scales, 1);
    putInt("TX_REF_COUNTS_AFTER_KIND4", a->refCount * 10 + b->refCount);

    /* Objects owned by the array (kind 5): the re-Dim gives their references back. */
    dim1(&owned, owned.scales, 1);
    _txObjStore(&TX_CELLS(owned, txObj*)[0], a);
    _txObjStore(&TX_CELLS(owned, txObj*)[1], a);
    putInt("TX_REF_COUNT_HELD", a->refCount);
    dim1(&owned, owned.scales, 1);
    putInt("TX_REF_COUNT_AFTER_KIND5", a->refCount);

    /* A vector of strings: zeroed cells; freeing it releases the strings. */
    txstr* v = _txVecAlloc(&Names3);
    putInt("TX_VEC_ZERO", v[0] == 0 && v[1] == 0 && v[2] == 0);
    _txStrStore(&v[0], _txStrConst("x"));
    _txStrStore(&v[2], _txStrConst("z"));
    RuntimeStats(); /* 3: two strings */
    _txVecFree(v, &Names3);
    RuntimeStats(); /* 4: none */
}
