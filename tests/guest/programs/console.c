/* The console, fonts and input from compiled code: a prompt and a line typed through Input (the
 * test pushes the keys once TX_DIR/console-ready exists), the line drawn with Text in a bold
 * font, the arrow keys counted until Escape, and the picture saved and checked. */
#include "check.h"

enum { kYellow = 0xFFFF00, kEscape = 1, kRight = 205, kDown = 208 };

static txstr typed; /* the line Input gave (commands release the strings they are given) */

TX_MAIN {
    Graphics(320, 240, 0, 2);
    int bold = LoadFont(S("courier"), 16, 1, 0, 0);
    CHECK(bold != 0 && JoyType(5) == 0);
    CloseFile(WriteFile(dirPath("/console-ready")));

    _txStrStore(&typed, Input(S("name? ")));
    CHECK(same(_txStrLoad(&typed), "hi"));

    /* The line, centred on (160, 100) in yellow. */
    SetFont(bold);
    Color(255, 255, 0);
    Text(160, 100, _txStrLoad(&typed), 1, 1);
    const int width = StringWidth(_txStrLoad(&typed)), height = FontHeight();
    CHECK(width > 0 && height == 16);

    /* Every arrow press moves 8 pixels; Escape ends the loop (its press is read first, so the
     * arrows pressed before it are all counted). */
    int x = 100, y = 150;
    for (;;) {
        const int escape = KeyHit(kEscape);
        x += 8 * KeyHit(kRight);
        y += 8 * KeyHit(kDown);
        if (escape) break;
    }
    CHECK(x == 124 && y == 166);

    CHECK(SaveBuffer(FrontBuffer(), dirPath("/console.bmp")));
    const int saved = LoadImage(dirPath("/console.bmp"));
    /* The text stays in its box: (160 - width / 2, 100 - height / 2), width x height. */
    const int left = 160 - width / 2, top = 100 - height / 2;
    const int inBox = countOf(saved, left, top, left + width, top + height, kYellow);
    CHECK(inBox > 20 && countOf(saved, 0, 0, 320, 240, kYellow) == inBox);
    /* The prompt and the line stay on the first console line, in the default font. */
    CHECK(countOf(saved, 0, 0, 320, 12, 0xFFFFFF) > 20);
}
