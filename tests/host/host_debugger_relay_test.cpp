// Debugger events relayed by the host runtime, and reports that end the program.
#include <gtest/gtest.h>

#include "host_runtime.h"
#include "recording_debugger.h"

namespace tx {
namespace {

TEST(HostDebuggerRelay, ForwardsEventsToTheAttachedDebuggerOrNowhere) {
    test::RecordingDebugger debugger;
    for (Debugger* attached :
         {static_cast<Debugger*>(&debugger), static_cast<Debugger*>(nullptr)}) {
        auto runtime = HostRuntime::open("", attached, openNullBackend());
        ASSERT_NE(runtime, nullptr);
        EXPECT_EQ(runtime->hasDebugger(), attached != nullptr);
        runtime->debugStmt(42, "main.bb");
        runtime->debugEnter(1, 2, 3);
        runtime->debugLeave();
        runtime->debugLog("hello");
        if (attached == nullptr) {  // reports reach nobody and end nothing
            runtime->debugInfo("info");
            runtime->debugError("error");
        }
        EXPECT_TRUE(runtime->pump().running());
        EXPECT_TRUE(runtime->idle());
    }
    const std::vector<std::string> expected = {"stmt 42 main.bb", "enter 1 2 3", "leave",
                                               "log hello"};
    EXPECT_EQ(debugger.events, expected);
}

class HostDebuggerReport : public ::testing::TestWithParam<bool> {};

TEST_P(HostDebuggerReport, ReportDetachesTheDebuggerAndEndsTheProgram) {
    const bool isError = GetParam();
    test::RecordingDebugger debugger;
    {
        auto runtime = HostRuntime::open("", &debugger, openNullBackend());
        ASSERT_NE(runtime, nullptr);
        for (const char* message : {"first", "second"}) {  // the second reaches nobody
            if (isError) {
                runtime->debugError(message);
            } else {
                runtime->debugInfo(message);
            }
        }
        EXPECT_FALSE(runtime->hasDebugger());
        EXPECT_FALSE(runtime->pump().running());
        // The program is suspended on its way out, after the debugger was detached.
        EXPECT_TRUE(runtime->pump().paused());
        EXPECT_FALSE(runtime->idle());
        runtime->debugLog("after");
    }
    EXPECT_EQ(isError ? debugger.errors : debugger.infos, std::vector<std::string>{"first"});
    EXPECT_TRUE((isError ? debugger.infos : debugger.errors).empty());
    EXPECT_EQ(debugger.stops.load(), 0);
    EXPECT_TRUE(debugger.events.empty()) << "later events reach nobody";
}

INSTANTIATE_TEST_SUITE_P(InfoAndError, HostDebuggerReport, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Error" : "Info"; });

}  // namespace
}  // namespace tx
