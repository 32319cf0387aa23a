/* Math commands from compiled code: results come back as the bit patterns of the floats, and a
 * few are used in guest arithmetic first. */
#include "guest_report.h"

static void putBits(const char* name, float value) {
    SetEnv(_txStrConst(name), _txStrFromInt(floatBits(value)));
}

TX_MAIN {
    putBits("TX_M_SIN180", Sin(180.0f));
    putBits("TX_M_COS90", Cos(90.0f));
    putBits("TX_M_TAN90", Tan(90.0f));
    putBits("TX_M_SIN30_TWICE", Sin(30.0f) * 2.0f);
    putBits("TX_M_ASIN1", ASin(1.0f));
    putBits("TX_M_ACOS0", ACos(0.0f));
    putBits("TX_M_ATAN1", ATan(1.0f));
    putBits("TX_M_ATAN2_Y1_X0", ATan2(1.0f, 0.0f));
    putBits("TX_M_ATAN2_Y0_X1", ATan2(0.0f, 1.0f));
    putBits("TX_M_ATAN2_Y0_XM1", ATan2(0.0f, -1.0f));
    putBits("TX_M_SQR16", Sqr(16.0f));
    putBits("TX_M_FLOOR", Floor(-0.5f));
    putBits("TX_M_CEIL", Ceil(2.1f));
    putBits("TX_M_EXP1", Exp(1.0f));
    putBits("TX_M_LOG2", Log(2.0f));
    putBits("TX_M_LOG10", Log10(1000.0f));
    putBits("TX_M_LOG0", Log(0.0f));
    SetEnv(_txStrConst("TX_M_SQR_TEXT"), _txStrFromFloat(Sqr(2.0f) * Sqr(2.0f)));
}
