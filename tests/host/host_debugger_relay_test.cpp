// Debugger events relayed by the host runtime, and reports that end the program.
#include <gtest/gtest.h>

#include "host_runtime.h"
#include "recording_debugger.h"

namespace tx {
namespace {

TEST(HostDebuggerRelay, ForwardsEventsToTheAttachedDebugger) {
    test::RecordingDebugger debugger;
    auto runtime = HostRuntime::open("", &debugger, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    EXPECT_TRUE(runtime->hasDebugger());
    runtime->debugStmt(42, "main.bb");
    runtime->debugEnter(1, 2, 3);
    runtime->debugLeave();
    runtime->debugLog("hello");
    const std::vector<std::string> expected = {"stmt 42 main.bb", "enter 1 2 3", "leave",
                                               "log hello"};
    EXPECT_EQ(debugger.events, expected);
    EXPECT_TRUE(runtime->pump().running());
}

TEST(HostDebuggerRelay, WithoutDebuggerEverythingIsQuiet) {
    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    EXPECT_FALSE(runtime->hasDebugger());
    runtime->debugStmt(1, "x");
    runtime->debugEnter(1, 2, 3);
    runtime->debugLeave();
    runtime->debugLog("x");
    runtime->debugInfo("info");
    runtime->debugError("error");
    EXPECT_TRUE(runtime->pump().running());
    EXPECT_FALSE(runtime->pump().paused());
    EXPECT_TRUE(runtime->idle());
}

class HostDebuggerReport : public ::testing::TestWithParam<bool> {};

TEST_P(HostDebuggerReport, ReportDetachesTheDebuggerAndEndsTheProgram) {
    const bool isError = GetParam();
    test::RecordingDebugger debugger;
    auto runtime = HostRuntime::open("", &debugger, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    auto report = [&](const char* message) {
        if (isError) {
            runtime->debugError(message);
        } else {
            runtime->debugInfo(message);
        }
    };
    report("first");
    report("second");  // no debugger any more: dropped
    const std::vector<std::string> expected = {"first"};
    EXPECT_EQ(isError ? debugger.errors : debugger.infos, expected);
    EXPECT_TRUE((isError ? debugger.infos : debugger.errors).empty());
    EXPECT_FALSE(runtime->hasDebugger());
    EXPECT_FALSE(runtime->pump().running());
    // The program is suspended on its way out, after the debugger was detached.
    EXPECT_TRUE(runtime->pump().paused());
    EXPECT_EQ(debugger.stops.load(), 0);
    EXPECT_FALSE(runtime->idle());
    // Later events reach nobody.
    runtime->debugLog("after");
    EXPECT_TRUE(debugger.events.empty());
}

INSTANTIATE_TEST_SUITE_P(InfoAndError, HostDebuggerReport, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Error" : "Info"; });

}  // namespace
}  // namespace tx
