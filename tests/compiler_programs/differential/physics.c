/* Balls falling under gravity and bouncing off the floor, as physics.tx steps them: objects of
 * a user type, visited with Each. The constants are variables so that gcc computes with them at
 * run time, in single precision as the program does. */
#include "tervex.h"

static TX_OBJ_TYPE(Ball, 4, _txFltType, _txFltType, _txFltType, _txFltType);
#define X(o) TX_FLOAT_FIELD(o, 0)
#define Y(o) TX_FLOAT_FIELD(o, 1)
#define VX(o) TX_FLOAT_FIELD(o, 2)
#define VY(o) TX_FLOAT_FIELD(o, 3)

static volatile float gravity = 9.8f, dt = 0.0625f, bounce = 0.75f, ground = 100;

static txstr withFloat(txstr text, const char* label, float value) {
    return _txStrConcat(_txStrConcat(text, _txStrConst(label)), _txStrFromFloat(value));
}

static void stepAll(void) {
    txObj* b = 0;
    for (int more = _txObjEachFirst(&b, &Ball); more; more = _txObjEachNext(&b)) {
        VY(b) = VY(b) + gravity * dt;
        X(b) = X(b) + VX(b) * dt;
        Y(b) = Y(b) + VY(b) * dt;
        if (Y(b) > ground) {
            Y(b) = ground - (Y(b) - ground);
            VY(b) = -VY(b) * bounce;
        }
    }
    _txObjRelease(b);
}

TX_MAIN {
    int count = _txStrToInt(CommandLine());
    if (count < 1) count = 8;
    txObj *b = 0, *lead = 0;
    for (int i = 0; i <= count - 1; ++i) {
        _txObjStore(&b, _txObjNew(&Ball));
        X(b) = (float)(i % 40) * 3.5f;
        Y(b) = (float)((i % 9) * (i % 9)) * 1.25f;
        VX(b) = 1.5f - (float)(i % 7) * 0.5f;
        VY(b) = 0;
    }
    for (int frame = 1; frame <= 240; ++frame) {
        stepAll();
        if (frame % 60 != 0) continue;
        float sum = 0;
        for (int more = _txObjEachFirst(&b, &Ball); more; more = _txObjEachNext(&b))
            sum = sum + Y(b);
        _txObjStore(&lead, _txObjFirst(&Ball));
        txstr line = _txStrConcat(_txStrConst("frame "), _txStrFromInt(frame));
        line = withFloat(line, " x ", X(lead));
        line = withFloat(line, " y ", Y(lead));
        line = withFloat(line, " vy ", VY(lead));
        DebugLog(withFloat(line, " sum ", sum));
    }
    _txObjRelease(b);
    _txObjRelease(lead);
}
