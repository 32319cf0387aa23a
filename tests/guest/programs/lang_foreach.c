/* For-each loops that delete the current object, and Delete Each. */
#include "guest_report.h"

TX_OBJ_TYPE(Item, 1, _txIntType);

static txObj* item; /* the loop variable */

TX_MAIN {
    for (int i = 1; i <= 5; ++i) TX_INT_FIELD(_txObjNew(&Item), 0) = i;

    /* For item = Each Item: visit all, deleting 2 and 3 (3 right after 2 was deleted). */
    int visited = 0;
    for (int more = _txObjEachFirst(&item, &Item); more; more = _txObjEachNext(&item)) {
        const int value = TX_INT_FIELD(item, 0);
        visited = visited * 10 + value;
        if (value == 2 || value == 3) _txObjDelete(item);
        if (value == 3) RuntimeStats(); /* 1: three active; 2 is free, 3 is held by the loop */
    }
    putInt("TX_VISITED", visited);
    putInt("TX_LOOP_VARIABLE_AFTER", item == 0);
    RuntimeStats(); /* 2: three active, three unreleased */

    int left = 0;
    for (int more = _txObjEachFirst(&item, &Item); more; more = _txObjEachNext(&item))
        left = left * 10 + TX_INT_FIELD(item, 0);
    putInt("TX_LEFT", left);

    /* Deleting every object from inside the loop, the last one included. */
    for (int more = _txObjEachFirst(&item, &Item); more; more = _txObjEachNext(&item))
        _txObjDelete(item);
    putInt("TX_EMPTY_LOOP", _txObjEachFirst(&item, &Item));
    RuntimeStats(); /* 3: nothing */
}
