/* Data statements: every conversion, then one read too many. */
#include "guest_report.h"

static txDataRecord data[] = {
    TX_DATA_INT(5),        TX_DATA_INT(5),          TX_DATA_INT(-7),      TX_DATA_FLOAT(2.75f),
    TX_DATA_FLOAT(-2.75f), TX_DATA_FLOAT(1.5f),     TX_DATA_FLOAT(0.25f), TX_DATA_STR("12abc"),
    TX_DATA_STR("12abc"),  TX_DATA_STR(" -3.5e1x"), TX_DATA_END,
};

TX_MAIN {
    _txRestore(&data[0]);
    putInt("TX_INT_AS_INT", _txReadInt());
    putText("TX_INT_AS_STR", _txReadStr());
    putText("TX_INT_AS_FLOAT", _txStrFromFloat(_txReadFloat()));
    putInt("TX_FLOAT_AS_INT", _txReadInt());
    putInt("TX_NEG_FLOAT_AS_INT", _txReadInt());
    putText("TX_FLOAT_AS_STR", _txReadStr());
    putText("TX_FLOAT_AS_FLOAT", _txStrFromFloat(_txReadFloat()));
    putInt("TX_STR_AS_INT", _txReadInt());
    putText("TX_STR_AS_STR", _txReadStr());
    putText("TX_STR_AS_FLOAT", _txStrFromFloat(_txReadFloat()));
    /* Restore to a label in the middle: record 3 onwards. */
    _txRestore(&data[3]);
    putInt("TX_AFTER_RESTORE", _txReadInt());
    _txRestore(&data[9]);
    _txReadStr();
    putInt("TX_BEFORE_END", 1);
    _txReadInt(); /* Out of data */
    putInt("TX_AFTER_END", 1);
}
