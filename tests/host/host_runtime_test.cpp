// Opening and closing the host runtime: one instance per process, SDL's hidden window and its
// events; debugger events relayed by the runtime, and reports that end the program.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_runtime.h"
#include "recording_debugger.h"
#include "sdl_video.h"

namespace tx {
namespace {

TEST(HostRuntimeLifecycle, OneInstanceAtATimeAndReopenAfterClose) {
    auto first = HostRuntime::open("args here", nullptr, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->pump().running());
    EXPECT_FALSE(first->pump().paused());
    EXPECT_EQ(first->commandLine(), "args here");
    EXPECT_EQ(HostRuntime::open("", nullptr, openNullBackend()), nullptr);
    EXPECT_EQ(HostRuntime::open("", nullptr, 0), nullptr);

    first.reset();
    auto second = HostRuntime::open("", nullptr, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->pump().running());
    EXPECT_TRUE(second->idle());
}

TEST(HostRuntimeLifecycle, RequestsPostedToAClosedRuntimeDoNotReachTheNextOne) {
    // Another part of the process keeps SDL's event queue alive across the two runtimes.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    {
        auto first = HostRuntime::open("", nullptr, 0);
        ASSERT_NE(first, nullptr);
        first->asyncStop();
        first->asyncEnd();
    }
    auto second = HostRuntime::open("", nullptr, 0);
    ASSERT_NE(second, nullptr);
    // A stale stop request would suspend the new runtime and block its pump.
    ASSERT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_USEREVENT, SDL_LASTEVENT), 0);
    EXPECT_TRUE(second->idle());
    EXPECT_FALSE(second->pump().paused());
    second.reset();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// SDL's quit event and our window's close are close requests; another window's close is not.
TEST(HostRuntimeLifecycle, WindowCloseAndQuitAreCloseRequests) {
    auto runtime = HostRuntime::open("", nullptr, 0);
    ASSERT_NE(runtime, nullptr);
    runtime->setTitle("Game", "Quit now?");
    static bool answer = false;
    runtime->pump().setClosePromptAnswer(
        [](const std::string&, const std::string&) { return answer; });
    SDL_Event event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(runtime->idle()) << "answered Cancel";
    answer = true;
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(static_cast<SdlVideo&>(runtime->video()).window()) + 1;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(runtime->idle());
    event.window.windowID -= 1;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_FALSE(runtime->idle());
}

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
