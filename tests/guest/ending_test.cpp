// How a program ends, seen from outside: the reports of returning and End, module start-up and
// shut-down around every ending, requests from another thread, and the process exit codes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "basic_module.h"
#include "guest_runner.h"
#include "string_pool.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

TEST(GuestLifecycle, ReturningReportsProgramHasEndedOnceEndQuietly) {
    const auto returned = runGuest("basic", "cmdline");
    EXPECT_EQ(returned.outcome, RunOutcome::Ended);
    EXPECT_EQ(returned.debugger.infos, std::vector<std::string>{"Program has ended"});
    const auto ended = runGuest("basic", "end");
    EXPECT_EQ(ended.outcome, RunOutcome::Ended);
    EXPECT_TRUE(ended.debugger.infos.empty());
    EXPECT_TRUE(ended.debugger.errors.empty());
}

// Stand-in modules that record their lifecycle around the real basic module.
std::vector<std::string> lifecycleLog;
int failingModule = -1;
int stringsAtDestroy = -1;

template <int Index>
bool fakeCreate() {
    lifecycleLog.push_back("create " + std::to_string(Index));
    return Index != failingModule;
}
template <int Index>
void fakeDestroy() {
    lifecycleLog.push_back("destroy " + std::to_string(Index));
    if (Index == 10) stringsAtDestroy = liveStrings();
}
bool recordedBasicCreate() {
    lifecycleLog.push_back("create 0");
    return basicCreate();
}
void recordedBasicDestroy() {
    lifecycleLog.push_back("destroy 0");
    basicDestroy();
}

const LibraryModule kRecordedModules[] = {
    {"basic", &linkBasicModule, &recordedBasicCreate, &recordedBasicDestroy},
    {"math", nullptr, &fakeCreate<1>, &fakeDestroy<1>},
    {"string", nullptr, &fakeCreate<2>, &fakeDestroy<2>},
    {"stream", nullptr, &fakeCreate<3>, &fakeDestroy<3>},
    {"sockets", nullptr, &fakeCreate<4>, &fakeDestroy<4>},
    {"filesystem", nullptr, &fakeCreate<5>, &fakeDestroy<5>},
    {"bank", nullptr, &fakeCreate<6>, &fakeDestroy<6>},
    {"graphics", nullptr, &fakeCreate<7>, &fakeDestroy<7>},
    {"input", nullptr, &fakeCreate<8>, &fakeDestroy<8>},
    {"audio", nullptr, &fakeCreate<9>, &fakeDestroy<9>},
    {"multiplay", nullptr, &fakeCreate<10>, &fakeDestroy<10>},
};

TEST(GuestLifecycle, ModulesAreDestroyedInReverseOrderHoweverTheProgramEnds) {
    ScopedModuleTable table(kRecordedModules);
    std::vector<std::string> expected;
    for (int i = 0; i <= 10; ++i) expected.push_back("create " + std::to_string(i));
    for (int i = 10; i >= 0; --i) expected.push_back("destroy " + std::to_string(i));
    for (const char* how : {"cmdline", "end", "error"}) {
        SCOPED_TRACE(how);
        lifecycleLog.clear();
        failingModule = -1;
        runGuest("basic", how);
        EXPECT_EQ(lifecycleLog, expected);
    }
}

TEST(GuestLifecycle, AFailingModuleStopsTheStartAndUndoesTheOthers) {
    ScopedModuleTable table(kRecordedModules);
    lifecycleLog.clear();
    failingModule = 7;  // graphics
    const auto run = runGuest("basic", "error");
    failingModule = -1;
    EXPECT_EQ(run.outcome, RunOutcome::StartupFailed);
    EXPECT_TRUE(run.debugger.errors.empty()) << "the entry point must not run";
    EXPECT_EQ(run.debugger.infos,
              std::vector<std::string>{"Startup Error: graphics_create failed"});
    const std::vector<std::string> expected = {"create 0",  "create 1",  "create 2",  "create 3",
                                               "create 4",  "create 5",  "create 6",  "create 7",
                                               "destroy 6", "destroy 5", "destroy 4", "destroy 3",
                                               "destroy 2", "destroy 1", "destroy 0"};
    EXPECT_EQ(lifecycleLog, expected);
}

TEST(GuestLifecycle, StringsLeftByTheProgramAreFreedWithTheBasicModule) {
    ScopedModuleTable table(kRecordedModules);
    const auto run = runGuest("basic", "main");
    EXPECT_EQ(run.outcome, RunOutcome::Ended) << test::firstError(run);
    EXPECT_GT(stringsAtDestroy, 513) << "the program left its strings alive";
    EXPECT_EQ(liveStrings(), 0);
}

// Repeats a request every 20 ms until the run is over, so it cannot arrive too early and be lost.
class Requester {
public:
    explicit Requester(void (RuntimeInterface::*request)())
        : thread_([this, request] {
              while (!done_) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  (runtimeGetRuntime().*request)();
              }
          }) {}
    ~Requester() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(GuestAsync, AnEndRequestStopsAWaitingProgramQuietly) {
    const std::pair<const char*, const char*> waiting[] = {{"basic", "wait"},
                                                           {"net", "accept-loop"}};
    for (const auto& [program, arguments] : waiting) {
        SCOPED_TRACE(program);
        test::PortHolder port;
        ::setenv("TX_NET_PORT", std::to_string(port.port()).c_str(), 1);
        port.release();
        test::GuestRun run;
        {
            Requester requester(&RuntimeInterface::asyncEnd);
            run = runGuest(program, arguments);
        }
        EXPECT_EQ(run.outcome, RunOutcome::Ended);
        EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
        EXPECT_TRUE(run.debugger.errors.empty());
    }
}

TEST(GuestAsync, AStopRequestThenAnEndRequestEndTheProgramQuietly) {
    test::GuestRun run;
    {
        Requester stop(&RuntimeInterface::asyncStop);
        Requester end(&RuntimeInterface::asyncEnd);
        run = runGuest("basic", "wait");
    }
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_TRUE(run.debugger.errors.empty());
}

TEST(GuestAsync, StopSuspendsUntilARunRequest) {
    unsetenv("TX_RESUMED");
    test::GuestRun run;
    {
        Requester requester(&RuntimeInterface::asyncRun);
        run = runGuest("basic", "stop");
    }
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_RESUMED"), "yes");
    EXPECT_EQ(run.debugger.stops, 1);
    EXPECT_EQ(run.debugger.runs, 1);
}

std::string txrun(const std::string& arguments) {
    return std::string(TERVEX_BIN_DIR) + "/tools/txrun " + arguments;
}

TEST(GuestProcess, ExitCodesTellHowTheProgramEnded) {
    auto divide = test::runProcess(txrun(test::guestImagePath("faults") + " divide"));
    EXPECT_EQ(divide.exitCode, 1);
    EXPECT_NE(divide.standardError.find("Integer divide by zero"), std::string::npos);
    EXPECT_EQ(test::runProcess(txrun(test::guestImagePath("basic") + " cmdline")).exitCode, 0);
    EXPECT_EQ(test::runProcess(txrun(test::guestImagePath("basic") + " end")).exitCode, 0);

    auto missing = test::runProcess(txrun("/nonexistent/image.tmi"));
    EXPECT_EQ(missing.exitCode, 255);
    EXPECT_NE(missing.standardError.find("Unable to run Tervex Basic module"), std::string::npos);

    EXPECT_EQ(runtimeGetRuntime().version(), 165) << "the interface version debuggers check";

    auto game = test::runProcess(std::string(TERVEX_BIN_DIR) + "/tervex -quick");
    EXPECT_EQ(game.exitCode, 0) << game.standardError;
}

}  // namespace
}  // namespace tx
