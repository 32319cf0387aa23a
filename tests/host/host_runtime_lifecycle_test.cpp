// Opening and closing the host runtime: one instance per process, SDL's hidden window and its
// events, timers released at close.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "display_test_support.h"
#include "host_runtime.h"

namespace tx {
namespace {

size_t threadCount() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

// A joined thread can stay listed for a moment after it ended.
size_t threadCountSettledAtMost(size_t limit) {
    size_t count = threadCount();
    for (int i = 0; i < 100 && count > limit; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        count = threadCount();
    }
    return count;
}

TEST(HostRuntimeLifecycle, OneInstanceAtATimeAndReopenAfterClose) {
    auto first = HostRuntime::open("args here", nullptr, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->pump().running());
    EXPECT_FALSE(first->pump().paused());
    EXPECT_EQ(first->commandLine(), "args here");
    EXPECT_EQ(HostRuntime::open("", nullptr, openNullBackend()), nullptr);
    EXPECT_EQ(HostRuntime::open("", nullptr, 0), nullptr);
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

TEST(HostRuntimeLifecycle, WindowCloseAndQuitAreCloseRequests) {
    auto runtime = HostRuntime::open("", nullptr, 0);
    ASSERT_NE(runtime, nullptr);
    runtime->setTitle("Game", "Quit now?");
    runtime->pump().setClosePromptAnswer(
        [](const std::string&, const std::string&) { return false; });
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_TRUE(runtime->idle());
    SDL_Event otherWindow;
    std::memset(&otherWindow, 0, sizeof otherWindow);
    otherWindow.type = SDL_WINDOWEVENT;
    otherWindow.window.event = SDL_WINDOWEVENT_CLOSE;
    otherWindow.window.windowID = SDL_GetWindowID(test::sdlVideo(*runtime).window()) + 1;
    runtime->pump().setClosePromptAnswer(
        [](const std::string&, const std::string&) { return true; });
    ASSERT_EQ(SDL_PushEvent(&otherWindow), 1);
    EXPECT_TRUE(runtime->idle()) << "another window's close is not ours";
    SDL_Event close = otherWindow;
    close.window.windowID -= 1;
    ASSERT_EQ(SDL_PushEvent(&close), 1);
    EXPECT_FALSE(runtime->idle());
}

TEST(HostRuntimeLifecycle, TimersStartNoThreadAndClosingFreesThem) {
    auto runtime = HostRuntime::open("", nullptr, openNullBackend());
    ASSERT_NE(runtime, nullptr);
    const size_t before = threadCount();
    ASSERT_NE(runtime->createTimer(50), nullptr);
    ASSERT_NE(runtime->createTimer(60), nullptr);
    HostTimer* freed = runtime->createTimer(70);
    ASSERT_NE(freed, nullptr);
    EXPECT_EQ(threadCount(), before);
    runtime->freeTimer(freed);
    EXPECT_EQ(runtime->timers().size(), 2u);
    runtime.reset();
    EXPECT_LE(threadCountSettledAtMost(before), before);
}

}  // namespace
}  // namespace tx
