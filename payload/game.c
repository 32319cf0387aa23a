/* The program `tervex` carries until the game arrives: it names its window, shows it is alive
 * for about half a second on a 60 Hz timer, and ends. Arguments: "-quick" skips the wait. */
#include "tervex.h"

static const char kTitle[] = "Tervex";
static const char kQuick[] = "-quick";

TX_MAIN {
    AppTitle(_txStrConst(kTitle), _txStrConst(""));
    if (_txStrCompare(CommandLine(), _txStrConst(kQuick)) == 0) return;
    int timer = CreateTimer(60);
    for (int frames = 0; frames < 30;) frames += WaitTimer(timer);
    FreeTimer(timer);
}
