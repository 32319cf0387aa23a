// Handle and range checks of the stream, file-system and bank commands: runtime errors with the
// debug flag set, harmless no-ops with it clear.
#include <gtest/gtest.h>

#include <string>

#include "io_guest_support.h"

namespace tx {
namespace {

using test::env;
using test::firstError;
using test::runGuest;
using IoChecks = test::IoGuestTest;

struct Check {
    const char* call;
    const char* debugError;   // null: accepted with the debug flag set too
    const char* quietResult;  // TX_IO_REACHED with the flag clear: 1000 + the call's result
};

constexpr Check kChecks[] = {
    {"stream", "Stream does not exist", "1000"},
    {"closed", "Stream does not exist", "1001"},
    {"buffer0", "Illegal buffer size", "1000"},
    {"buffermax", nullptr, "1000"},
    {"buffertoobig", "Illegal buffer size", "1000"},
    {"copydead", "Stream does not exist", "1000"},
    {"file", "File does not exist", "1000"},
    {"filepos", "File does not exist", "1000"},
    {"seekfile", "File does not exist", "999"},
    {"dir", "Directory does not exist", "1000"},
    {"closedir", nullptr, "1000"},
    {"bank", "txBank does not exist", "1000"},
    {"resize", "txBank does not exist", "1000"},
    {"freebank", nullptr, "1000"},
    {"emptybank", "Offset out of range", "1000"},
    {"int6", nullptr, "2000"},
    {"int7", "Offset out of range", "1000"},
    {"short8", nullptr, "1000"},
    {"short9", "Offset out of range", "1000"},
    {"negative", "Offset out of range", "1000"},
    {"float7", "Offset out of range", "1000"},
    {"copysrc", "Offset out of range", "1000"},
    {"copydest", "txBank does not exist", "1000"},
    {"readbytes", "Stream does not exist", "1000"},
    {"readbytesoffset", "Offset out of range", "1000"},
    {"writebytes", "Offset out of range", "1000"},
};

TEST_F(IoChecks, DebugFlagSetRaisesTheCommandsErrors) {
    for (const Check& check : kChecks) {
        clearReports();
        ::setenv("TX_IO_DIR", dir.c_str(), 1);
        const auto run = runGuest("io_checks", check.call, /*debug=*/true);
        if (check.debugError != nullptr) {
            EXPECT_EQ(run.outcome, RunOutcome::RuntimeError) << check.call;
            EXPECT_EQ(firstError(run), check.debugError) << check.call;
            EXPECT_EQ(env("TX_IO_REACHED"), "<unset>") << check.call;
        } else {
            EXPECT_EQ(run.outcome, RunOutcome::Ended) << check.call << ": " << firstError(run);
            EXPECT_EQ(env("TX_IO_REACHED"), check.quietResult) << check.call;
        }
    }
}

TEST_F(IoChecks, DebugFlagClearMakesBadCallsHarmless) {
    for (const Check& check : kChecks) {
        clearReports();
        ::setenv("TX_IO_DIR", dir.c_str(), 1);
        const auto run = runGuest("io_checks", check.call, /*debug=*/false);
        EXPECT_EQ(run.outcome, RunOutcome::Ended) << check.call << ": " << firstError(run);
        EXPECT_EQ(env("TX_IO_REACHED"), check.quietResult) << check.call;
    }
}

}  // namespace
}  // namespace tx
