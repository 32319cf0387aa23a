/* Balls falling under gravity and bouncing off the floor, as physics.tx steps them. The
 * constants are variables so that gcc computes with them at run time, in single precision as
 * the program does. */
#include "tervex.h"

typedef struct {
    float x, y, vx, vy;
} Ball;

static Ball balls[8];
static volatile float gravity = 9.8f, dt = 0.0625f, bounce = 0.75f, floorY = 100;

static txstr withFloat(txstr text, const char* label, float value) {
    return _txStrConcat(_txStrConcat(text, _txStrConst(label)), _txStrFromFloat(value));
}

static void stepAll(void) {
    for (int i = 0; i < 8; ++i) {
        Ball* b = &balls[i];
        b->vy = b->vy + gravity * dt;
        b->x = b->x + b->vx * dt;
        b->y = b->y + b->vy * dt;
        if (b->y > floorY) {
            b->y = floorY - (b->y - floorY);
            b->vy = -b->vy * bounce;
        }
    }
}

TX_MAIN {
    for (int i = 0; i < 8; ++i) {
        balls[i].x = (float)i * 3.5f;
        balls[i].y = (float)(i * i) * 1.25f;
        balls[i].vx = 1.5f - (float)i * 0.5f;
        balls[i].vy = 0;
    }
    for (int frame = 1; frame <= 240; ++frame) {
        stepAll();
        if (frame % 60 != 0) continue;
        float sum = 0;
        for (int i = 0; i < 8; ++i) sum = sum + balls[i].y;
        txstr line = _txStrConcat(_txStrConst("frame "), _txStrFromInt(frame));
        line = withFloat(line, " x ", balls[0].x);
        line = withFloat(line, " y ", balls[0].y);
        line = withFloat(line, " vy ", balls[0].vy);
        DebugLog(withFloat(line, " sum ", sum));
    }
}
