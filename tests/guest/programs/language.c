/* The language routines from compiled code, where hand-made memory reaches what a compiled
 * program does not: the text of objects, the arithmetic helpers, and the routines ending a
 * program on a looping list or a size no memory holds (objects, lists, arrays and vectors as
 * compiled code uses them are checked by the compiler's conformance programs). The command line
 * picks the case. */
#include "check.h"

TX_OBJ_TYPE(Plain, 1, _txIntType);
TX_OBJ_TYPE(Node, 3, _txIntType, _txFltType, &Node);
TX_OBJ_TYPE(Link, 2, _txIntType, &Link);
TX_OBJ_TYPE(Texts, 3, _txStrType, _txStrType, _txCStrType);
TX_OBJ_TYPE(Huge, 1, _txIntType);
TX_VEC_TYPE(HugeVec, 0x40000000, _txIntType);
TX_ARRAY(ints, TX_KIND_INT, 1);
TX_ARRAY(grid, TX_KIND_FLOAT, 2);

static volatile int smallest = -2147483647 - 1;

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

static void arithmetic(void) {
    CHECK(_txMod(7, -3) == 1 && _txMod(-7, 3) == -1 && _txMod(6, 3) == 0);
    CHECK(_txMod(5, -1) == 0);
    CHECK(_txMod(smallest, 7) == -2);
    CHECK(_txAbs(-5) == 5 && _txAbs(smallest) == smallest);
    CHECK(_txSgn(smallest) == -1 && _txSgn(0) == 0 && _txSgn(42) == 1);
    CHECK(same(_txStrFromFloat(_txFMod(7.0f, -3.0f)), "1.000000"));
    CHECK(same(_txStrFromFloat(_txFMod(1.0f, 0.0f)), "NAN"));
    CHECK(same(_txStrFromFloat(_txFPow(-8.0f, 0.5f)), "NAN"));
    CHECK(_txFAbs(-1.5f) + _txFAbs(2.0f) == 3.5f);
    CHECK(same(_txStrFromFloat(_txFSgn(-0.25f) * 100.0f + _txFSgn(3.0f) * 10.0f + _txFSgn(-0.0f)),
               "-90."));
    CHECK(same(_txStrFromFloat(_txFSgn(_txFPow(-8.0f, 0.5f))), "-1."));
}

/* One bad call per run; each must end the program. */
static void failure(void) {
    static txObj* hold[3];
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
    if (argumentIs("huge-field-count")) {
        Huge.fieldCount = 0x7fffffff;
        _txObjNew(&Huge);
    }
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
    static const txCase cases[] = {{"text", text}, {"arithmetic", arithmetic}};
    if (!RUN_CASE(cases)) failure();
}
