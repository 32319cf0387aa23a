/* A float physics step over 1,000 particles of a user type, 100 times: gravity, motion and
 * bounces off the sides and the floor of a 640 x 480 box. Then a check that all stayed inside. */
#include "bench_guest.h"

static TX_OBJ_TYPE(Particle, 4, _txFltType, _txFltType, _txFltType, _txFltType);

#define X(o) TX_FLOAT_FIELD(o, 0)
#define Y(o) TX_FLOAT_FIELD(o, 1)
#define VX(o) TX_FLOAT_FIELD(o, 2)
#define VY(o) TX_FLOAT_FIELD(o, 3)

TX_MAIN {
    txObj* p = 0;
    for (int i = 1; i <= 1000; ++i) {
        _txObjStore(&p, _txObjNew(&Particle));
        X(p) = (float)(i % 640);
        Y(p) = (float)((i * 7) % 480);
        VX(p) = (float)((i % 13) - 6) * 0.5f;
        VY(p) = (float)((i % 7) - 3) * 0.25f;
    }

    BenchMark();
    for (int s = 1; s <= 100; ++s) {
        for (int more = _txObjEachFirst(&p, &Particle); more; more = _txObjEachNext(&p)) {
            VY(p) = VY(p) + 0.1f;
            X(p) = X(p) + VX(p);
            Y(p) = Y(p) + VY(p);
            if (X(p) < 0) X(p) = -X(p), VX(p) = -VX(p);
            if (X(p) > 640) X(p) = 1280 - X(p), VX(p) = -VX(p);
            if (Y(p) > 480) Y(p) = 960 - Y(p), VY(p) = -VY(p) * 0.9f;
        }
    }
    BenchMark();

    for (int more = _txObjEachFirst(&p, &Particle); more; more = _txObjEachNext(&p)) {
        if (X(p) < 0 || X(p) > 640 || Y(p) > 480)
            RuntimeError(_txStrConst("a particle left the box"));
    }
}
