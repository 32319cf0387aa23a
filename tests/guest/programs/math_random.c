/* The random generator from compiled code. The command line picks what runs first:
 * "sequence" draws five Rnd(0, 1) values, "rand" a die roll, "rnd" Rnd(1) with its default
 * to = 0; "seeds" compares the sequences after SeedRnd. */
#include "guest_report.h"

static int is(const char* word) {
    return _txStrCompare(CommandLine(), _txStrConst(word)) == 0;
}

/* Ten draws folded into one number, so two sequences can be compared. */
static int fingerprint(void) {
    int sum = 0;
    for (int i = 0; i < 10; ++i) sum = sum * 31 + Rand(1, 1000000);
    return sum;
}

TX_MAIN {
    if (is("sequence")) {
        txstr text = _txStrConst("");
        for (int i = 0; i < 5; ++i) {
            text = _txStrConcat(text, _txStrFromInt(floatBits(Rnd(0.0f, 1.0f))));
            text = _txStrConcat(text, _txStrConst(" "));
        }
        putText("TX_R_SEQUENCE", text);
    } else if (is("rand")) {
        putText("TX_R_DIE", _txStrFromInt(Rand(1, 6)));
    } else if (is("rnd")) {
        putText("TX_R_RND1", _txStrFromInt(floatBits(Rnd(1.0f, 0.0f))));
    } else if (is("seeds")) {
        SeedRnd(1);
        int one = fingerprint();
        SeedRnd(0);
        int zero = fingerprint();
        SeedRnd(65537);
        int wrapped = fingerprint();
        SeedRnd(2);
        int two = fingerprint();
        putText("TX_R_SEEDS",
                _txStrFromInt((zero == one) * 100 + (wrapped == one) * 10 + (two == one)));

        /* Either order of the bounds, and every face of a die within 600 rolls. */
        int seen = 0, outside = 0;
        for (int i = 0; i < 600; ++i) {
            int roll = Rand(6, 1);
            if (roll < 1 || roll > 6)
                ++outside;
            else
                seen |= 1 << roll;
        }
        putText("TX_R_FACES", _txStrFromInt(seen));
        putText("TX_R_OUTSIDE", _txStrFromInt(outside));
        SeedRnd(-1);
        putText("TX_R_AFTER_MINUS1", _txStrFromInt(Rand(0, 65535)));
    }
}
