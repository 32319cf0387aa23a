/* The arithmetic helpers, and every way the language routines end a program: the mode comes from
 * the command line. Corrupt type descriptors, lists and array descriptors must end the program
 * with a runtime error and leave the host untouched. */
#include "guest_report.h"

static void putFloat(const char* name, float value) {
    putText(name, _txStrFromFloat(value));
}

static volatile int smallest = -2147483647 - 1;

TX_OBJ_TYPE(Item, 1, _txIntType);
TX_OBJ_TYPE(Huge, 1, _txIntType);
TX_OBJ_TYPE(BadField, 2, _txIntType, (void*)0x10);
TX_ARRAY(array1, TX_KIND_INT, 1);
TX_ARRAY(array2, TX_KIND_INT, 2);
TX_VEC_TYPE(HugeVec, 0x40000000, _txIntType);
static txDataRecord badData[] = {TX_DATA_INT(1), {3, {.i = 9}}, TX_DATA_END};

static void arithmetic(void) {
    putInt("TX_MOD", _txMod(7, -3) * 100 + _txMod(-7, 3) * 10 + _txMod(6, 3));
    putInt("TX_MOD_MINUS_ONE", _txMod(5, -1));
    putInt("TX_MOD_SMALLEST", _txMod(smallest, 7));
    putInt("TX_ABS", _txAbs(-5));
    putInt("TX_ABS_SMALLEST", _txAbs(smallest));
    putInt("TX_SGN", _txSgn(smallest) * 100 + _txSgn(0) * 10 + _txSgn(42));
    putFloat("TX_FMOD", _txFMod(-7.0f, 3.0f));
    putFloat("TX_FMOD_NEG_DIVISOR", _txFMod(7.0f, -3.0f));
    putFloat("TX_FMOD_ZERO", _txFMod(1.0f, 0.0f));
    putFloat("TX_FPOW", _txFPow(2.0f, 10.0f));
    putFloat("TX_FPOW_DOMAIN", _txFPow(-8.0f, 0.5f));
    putFloat("TX_FABS", _txFAbs(-1.5f) + _txFAbs(2.0f));
    putFloat("TX_FSGN", _txFSgn(-0.25f) * 100.0f + _txFSgn(3.0f) * 10.0f + _txFSgn(-0.0f));
    putFloat("TX_FSGN_NAN", _txFSgn(_txFPow(-8.0f, 0.5f)));
}

TX_MAIN {
    if (argumentIs("arithmetic")) {
        arithmetic();
    } else if (argumentIs("mod-zero")) {
        putInt("TX_RESULT", _txMod(1, 0));
    } else if (argumentIs("mod-overflow")) {
        putInt("TX_RESULT", _txMod(smallest, -1));
    } else if (argumentIs("array-bounds")) {
        _txArrayBoundsEx();
    } else if (argumentIs("vector-bounds")) {
        _txVecBoundsEx();
    } else if (argumentIs("null-object")) {
        _txNullObjEx();
    } else if (argumentIs("null-next")) {
        _txObjNext(0);
    } else if (argumentIs("bad-data")) {
        _txRestore(&badData[0]);
        _txReadInt();
        _txReadInt();
    } else if (argumentIs("looping-list")) {
        /* Three deleted objects kept alive by references, their links bent into a ring. */
        static txObj* hold[3];
        for (int i = 0; i < 3; ++i) {
            _txObjStore(&hold[i], _txObjNew(&Item));
            _txObjDelete(hold[i]);
        }
        hold[2]->next = hold[0];
        _txObjFirst(&Item);
    } else if (argumentIs("looping-delete-each")) {
        static txObj* hold[2];
        for (int i = 0; i < 2; ++i) _txObjStore(&hold[i], _txObjNew(&Item));
        hold[1]->next = hold[0];
        _txObjDeleteEach(&Item);
    } else if (argumentIs("wild-link")) {
        _txObjNew(&Item);
        Item.used.next = (txObj*)0x12345;
        _txObjFirst(&Item);
    } else if (argumentIs("wild-type")) {
        txObj* o = _txObjNew(&Item);
        o->type = (void*)0x7ffffff0;
        _txObjDelete(o);
    } else if (argumentIs("huge-field-count")) {
        Huge.fieldCount = 0x7fffffff;
        _txObjNew(&Huge);
    } else if (argumentIs("bad-field-type")) {
        _txObjNew(&BadField);
    } else if (argumentIs("huge-array")) {
        array2.scales[0] = 99999;
        array2.scales[1] = 99999;
        _txDimArray(&array2);
    } else if (argumentIs("wrapping-array")) {
        /* 65536 * 65536 cells wrap to 0 in 32 bits. */
        array2.scales[0] = 65535;
        array2.scales[1] = 65535;
        _txDimArray(&array2);
    } else if (argumentIs("negative-array")) {
        array1.scales[0] = -5;
        _txDimArray(&array1);
    } else if (argumentIs("many-dimensions")) {
        array1.dimensions = 100000;
        _txDimArray(&array1);
    } else if (argumentIs("huge-vector")) {
        _txVecAlloc(&HugeVec);
    }
    putInt("TX_SURVIVED", 1);
}
