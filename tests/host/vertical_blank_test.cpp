// The modelled vertical blank: where each frame's blank starts and which line is scanned.
#include "vertical_blank.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tx {
namespace {

using namespace std::chrono;
using Clock = VerticalBlank::Clock;

// 50 Hz, 400 active lines: 20 ms frames of 420 lines, the last 20 of them blank.
constexpr auto kFrame = microseconds(20000);
constexpr auto kActive = nanoseconds(20'000'000LL * 400 / 420);

TEST(VerticalBlank, TheBlankFollowsTheActiveLinesOfEveryFrame) {
    const Clock::time_point epoch{seconds(1000)};
    const VerticalBlank blank(50, 400, epoch);
    EXPECT_EQ(blank.framePeriod(), kFrame);
    EXPECT_EQ(blank.nextBlank(epoch), epoch + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + milliseconds(5)), epoch + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + kActive), epoch + kActive) << "at the start: no wait";
    // Inside a blank the wait is for the next one.
    EXPECT_EQ(blank.nextBlank(epoch + kActive + nanoseconds(1)), epoch + kFrame + kActive);
    EXPECT_EQ(blank.nextBlank(epoch + 7 * kFrame + milliseconds(1)), epoch + 7 * kFrame + kActive);
    // Times before the epoch follow the same frames.
    EXPECT_EQ(blank.nextBlank(epoch - kFrame), epoch - kFrame + kActive);

    // Scan lines count the active part and are zero in the blank.
    EXPECT_EQ(blank.scanLine(epoch), 0);
    EXPECT_FALSE(blank.inBlank(epoch));
    EXPECT_EQ(blank.scanLine(epoch + milliseconds(10)), 210);  // 10 ms of 400 lines in 19.05 ms
    EXPECT_EQ(blank.scanLine(epoch + kActive - nanoseconds(1)), 399);
    EXPECT_EQ(blank.scanLine(epoch + kActive), 0);
    EXPECT_TRUE(blank.inBlank(epoch + kActive));
    EXPECT_EQ(blank.scanLine(epoch + 3 * kFrame + milliseconds(5)), 105);
}

}  // namespace
}  // namespace tx
