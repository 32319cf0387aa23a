/* Object handles, and objects as debugging text. */
#include "guest_report.h"

TX_OBJ_TYPE(Node, 3, _txIntType, _txFltType, &Node);
TX_OBJ_TYPE(Other, 1, _txIntType);
TX_OBJ_TYPE(Link, 2, _txIntType, &Link);
TX_OBJ_TYPE(Texts, 3, _txStrType, _txStrType, _txCStrType);

TX_MAIN {
    /* Handles: stable per object, numbered in order of first request, gone with the object. */
    txObj* a = _txObjNew(&Node);
    txObj* b = _txObjNew(&Node);
    txObj* c = _txObjNew(&Other);
    const int ha = _txObjToHandle(a);
    putInt("TX_HANDLE_A", ha);
    putInt("TX_HANDLE_A_AGAIN", _txObjToHandle(a));
    putInt("TX_HANDLE_B", _txObjToHandle(b));
    putInt("TX_HANDLE_NONE", _txObjToHandle(0));
    const int hc = _txObjToHandle(c);
    putInt("TX_FROM_HANDLE_A", _txObjFromHandle(ha, &Node) == a);
    putInt("TX_FROM_HANDLE_WRONG_TYPE", _txObjFromHandle(hc, &Node) == 0);
    putInt("TX_FROM_UNKNOWN_HANDLE",
           _txObjFromHandle(12345, &Node) == 0 && _txObjFromHandle(0, &Node) == 0);
    _txObjDelete(a);
    putInt("TX_FROM_HANDLE_AFTER_DELETE", _txObjFromHandle(ha, &Node) == 0);
    putInt("TX_HANDLE_OF_DELETED", _txObjToHandle(a));
    /* A new object in a's old slot gets a new handle; the old one stays dead. */
    txObj* d = _txObjNew(&Node);
    putInt("TX_HANDLE_NEW", _txObjToHandle(d));
    putInt("TX_OLD_HANDLE_STILL_DEAD", _txObjFromHandle(ha, &Node) == 0);

    /* Text: a self-referencing object. */
    txObj* self = _txObjNew(&Node);
    TX_INT_FIELD(self, 0) = 1;
    TX_FLOAT_FIELD(self, 1) = 2.5f;
    _txObjStore(&TX_OBJ_FIELD(self, 2), self);
    putText("TX_TEXT_SELF", _txObjToStr(self));
    putText("TX_TEXT_NONE", _txObjToStr(0));
    /* Two objects pointing at each other: the root shows as [ROOT] one level down. */
    txObj* p = _txObjNew(&Node);
    txObj* q = _txObjNew(&Node);
    TX_INT_FIELD(p, 0) = 7;
    TX_INT_FIELD(q, 0) = 8;
    _txObjStore(&TX_OBJ_FIELD(p, 2), q);
    _txObjStore(&TX_OBJ_FIELD(q, 2), p);
    putText("TX_TEXT_PAIR", _txObjToStr(p));

    /* A chain of nine: the ninth level shows as "....". */
    txObj* chain[9];
    for (int i = 0; i < 9; ++i) {
        chain[i] = _txObjNew(&Link);
        TX_INT_FIELD(chain[i], 0) = i + 1;
        if (i > 0) _txObjStore(&TX_OBJ_FIELD(chain[i - 1], 1), chain[i]);
    }
    putText("TX_TEXT_CHAIN", _txObjToStr(chain[0]));
    /* After a conversion the guards are back: a conversion from the middle starts afresh. */
    putText("TX_TEXT_CHAIN_TAIL", _txObjToStr(chain[6]));

    /* Strings, a none string and a plain C string field; and a deleted object inside. */
    txObj* t = _txObjNew(&Texts);
    _txStrStore(&TX_STR_FIELD(t, 0), _txStrConst("abc"));
    putText("TX_TEXT_STRINGS", _txObjToStr(t));
    _txObjDelete(chain[8]);
    putText("TX_TEXT_DELETED_LINK", _txObjToStr(chain[7]));
}
