// The pump: requests from other threads, suspend and resume, closing the window, delay.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "host_runtime.h"
#include "recording_debugger.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

bool answerOk(const std::string&, const std::string&) {
    return true;
}
bool answerCancel(const std::string&, const std::string&) {
    return false;
}

// What the close prompt was asked with, for the prompt tests.
std::string askedTitle;
std::string askedPrompt;
int askedCount = 0;
bool recordAndCancel(const std::string& title, const std::string& prompt) {
    askedTitle = title;
    askedPrompt = prompt;
    ++askedCount;
    return false;
}

void pushWindowClose(SDL_Window* window) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = SDL_GetWindowID(window);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

class HostEventLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime = HostRuntime::open("", &debugger, 0);
        ASSERT_NE(runtime, nullptr);
    }

    test::RecordingDebugger debugger;
    std::unique_ptr<HostRuntime> runtime;
};

TEST_F(HostEventLoop, IdleKeepsRunningUntilAnEndArrivesFromAnotherThread) {
    EXPECT_TRUE(runtime->idle());
    EXPECT_TRUE(runtime->idle());
    std::thread debuggerThread([this] { runtime->asyncEnd(); });
    debuggerThread.join();
    EXPECT_FALSE(runtime->running());
    EXPECT_FALSE(runtime->hasDebugger());
    EXPECT_FALSE(runtime->idle());
    EXPECT_FALSE(runtime->idle());  // an ended program stays ended
}

TEST_F(HostEventLoop, StoppedProgramWaitsInIdleUntilRunArrives) {
    runtime->stop();
    EXPECT_TRUE(runtime->paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    runtime->stop();  // already suspended: nothing more
    EXPECT_EQ(debugger.stops.load(), 1);

    std::atomic<bool> runSent{false};
    std::thread debuggerThread([&] {
        std::this_thread::sleep_for(20ms);
        runSent.store(true);
        runtime->asyncRun();
    });
    EXPECT_TRUE(runtime->idle());
    EXPECT_TRUE(runSent.load());
    debuggerThread.join();
    EXPECT_FALSE(runtime->paused());
    EXPECT_EQ(debugger.runs.load(), 1);
}

TEST_F(HostEventLoop, StopAndRunRequestsSuspendAndResume) {
    runtime->asyncRun();  // not suspended: ignored
    EXPECT_TRUE(runtime->idle());
    EXPECT_EQ(debugger.runs.load(), 0);

    runtime->asyncStop();
    runtime->asyncRun();
    EXPECT_TRUE(runtime->idle());
    EXPECT_FALSE(runtime->paused());
    EXPECT_EQ(debugger.stops.load(), 1);
    EXPECT_EQ(debugger.runs.load(), 1);
}

TEST_F(HostEventLoop, EndWhileSuspendedEndsTheWait) {
    runtime->stop();
    std::thread debuggerThread([this] {
        std::this_thread::sleep_for(10ms);
        runtime->asyncEnd();
    });
    EXPECT_FALSE(runtime->idle());
    debuggerThread.join();
    EXPECT_TRUE(runtime->paused());
    EXPECT_FALSE(runtime->delay(50));
}

TEST_F(HostEventLoop, ClosePromptAnsweredCancelKeepsTheProgramRunning) {
    runtime->setTitle("Game", "Quit now?");
    runtime->setClosePromptAnswer(recordAndCancel);
    askedCount = 0;
    pushWindowClose(runtime->window());
    EXPECT_TRUE(runtime->idle());
    EXPECT_EQ(askedCount, 1);
    EXPECT_EQ(askedTitle, "Game");
    EXPECT_EQ(askedPrompt, "Quit now?");
    EXPECT_TRUE(runtime->running());
    EXPECT_TRUE(runtime->hasDebugger());

    runtime->setClosePromptAnswer(answerCancel);
    runtime->requestClose();
    EXPECT_TRUE(runtime->idle());
}

TEST_F(HostEventLoop, ClosePromptAnsweredOkEndsTheProgram) {
    runtime->setTitle("Game", "Quit now?");
    runtime->setClosePromptAnswer(answerOk);
    pushWindowClose(runtime->window());
    EXPECT_FALSE(runtime->idle());
    EXPECT_FALSE(runtime->hasDebugger());
    EXPECT_FALSE(runtime->running());
}

TEST_F(HostEventLoop, WithoutClosePromptClosingEndsAtOnce) {
    runtime->setClosePromptAnswer(recordAndCancel);
    askedCount = 0;
    pushWindowClose(runtime->window());
    EXPECT_FALSE(runtime->idle());
    EXPECT_EQ(askedCount, 0);
    EXPECT_FALSE(runtime->hasDebugger());
}

TEST_F(HostEventLoop, HeadlessCloseWithPromptEndsBecauseNobodyCanAnswer) {
    ASSERT_TRUE(runtime->headless());
    runtime->setTitle("Game", "Quit now?");
    runtime->requestClose();
    EXPECT_FALSE(runtime->idle());
}

TEST_F(HostEventLoop, QuitEventIsACloseRequest) {
    runtime->setTitle("Game", "Quit now?");
    runtime->setClosePromptAnswer(answerCancel);
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(runtime->idle());
    runtime->setClosePromptAnswer(answerOk);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_FALSE(runtime->idle());
}

TEST_F(HostEventLoop, DelayPumpsAndWaits) {
    EXPECT_TRUE(runtime->delay(0));
    EXPECT_TRUE(runtime->delay(-5));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(runtime->delay(30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST_F(HostEventLoop, DelayEndsEarlyWhenTheProgramIsEnded) {
    std::thread debuggerThread([this] {
        std::this_thread::sleep_for(10ms);
        runtime->asyncEnd();
    });
    EXPECT_FALSE(runtime->delay(10'000));
    debuggerThread.join();
}

TEST_F(HostEventLoop, SuspendedDelayWaitsForRun) {
    runtime->stop();
    std::atomic<bool> runSent{false};
    std::thread debuggerThread([&] {
        std::this_thread::sleep_for(20ms);
        runSent.store(true);
        runtime->asyncRun();
    });
    EXPECT_TRUE(runtime->delay(0));
    EXPECT_TRUE(runSent.load());
    debuggerThread.join();
}

}  // namespace
}  // namespace tx
