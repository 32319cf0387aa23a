// How a program ends, seen from outside: the reports of returning and End, module start-up and
// shut-down around every ending, and requests and a closed window from another thread.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "basic_module.h"
#include "guest_runner.h"
#include "sdl_test_events.h"
#include "string_pool.h"
#include "test_files.h"

namespace tx {
namespace {

// Stand-in modules that record their lifecycle around the real basic module.
std::vector<std::string> lifecycleLog;
int failingModule = -1;
int stringsAtDestroy = -1;

// Module 0 is the real basic module, the others stand-ins; module 7 takes the graphics name.
template <int Index>
bool recordedCreate() {
    lifecycleLog.push_back("create " + std::to_string(Index));
    return Index == 0 ? basicCreate() : Index != failingModule;
}
template <int Index>
void recordedDestroy() {
    lifecycleLog.push_back("destroy " + std::to_string(Index));
    if (Index == 0) basicDestroy();
    if (Index == 10) stringsAtDestroy = liveStrings();
}

constexpr const char* kNames[] = {"basic", "math",     "string", "stream", "sockets",  "filesystem",
                                  "bank",  "graphics", "input",  "audio",  "multiplay"};
template <int... I>
constexpr std::array<LibraryModule, sizeof...(I)> recorded(std::integer_sequence<int, I...>) {
    return {LibraryModule{kNames[I], I == 0 ? &linkBasicModule : nullptr, &recordedCreate<I>,
                          &recordedDestroy<I>}...};
}
constexpr auto kRecordedModules = recorded(std::make_integer_sequence<int, 11>{});

// Modules are destroyed in reverse order however the program ends, the strings it left with the
// basic module; a module that fails to start stops the start (the entry point never runs) and
// the ones before it are undone. Returning reports "Program has ended", End ends quietly.
TEST(GuestLifecycle, ModulesAreDestroyedInReverseOrder) {
    ScopedModuleTable table(kRecordedModules);
    for (const auto& [how, failing] :
         {std::pair{"main", -1}, {"end", -1}, {"error", -1}, {"error", 7}}) {
        SCOPED_TRACE(std::string(how) + std::to_string(failing));
        lifecycleLog.clear();
        failingModule = failing;
        const auto run = test::runGuest("basic", how);
        failingModule = -1;
        const int last = failing < 0 ? 10 : failing;
        std::vector<std::string> expected;
        for (int i = 0; i <= last; ++i) expected.push_back("create " + std::to_string(i));
        for (int i = failing < 0 ? 10 : failing - 1; i >= 0; --i)
            expected.push_back("destroy " + std::to_string(i));
        EXPECT_EQ(lifecycleLog, expected);
        if (std::string(how) == "main") {
            EXPECT_EQ(run.outcome, RunOutcome::Ended) << test::firstError(run);
            EXPECT_EQ(run.debugger.infos, std::vector<std::string>{"Program has ended"});
            EXPECT_GE(stringsAtDestroy, 513) << "the program left its strings alive";
            EXPECT_EQ(liveStrings(), 0) << "freed with the basic module";
        } else if (std::string(how) == "end") {
            EXPECT_EQ(run.outcome, RunOutcome::Ended);
            EXPECT_TRUE(run.debugger.infos.empty());
            EXPECT_TRUE(run.debugger.errors.empty());
        } else if (failing >= 0) {
            EXPECT_EQ(run.outcome, RunOutcome::StartupFailed);
            EXPECT_TRUE(run.debugger.errors.empty()) << "the entry point must not run";
            EXPECT_EQ(run.debugger.infos,
                      std::vector<std::string>{"Startup Error: graphics_create failed"});
        }
    }
}

// Requests from another thread, each repeated every 20 ms until the run is over so that none
// arrives too early and is lost: an end request stops a waiting program quietly, a stop request
// suspends it until an end or run request. Closing the window (SDL's quit event, pushed once into
// the running event queue, so that none is left for the next run) ends a program that never calls
// a command or one that calls them all the time, quietly, with its modules destroyed: the file it
// left open is complete.
TEST(GuestAsync, RequestsFromAnotherThreadEndOrResumeTheProgram) {
    RuntimeInterface& runtime = runtimeGetRuntime();
    const auto end = [&] { return runtime.asyncEnd(), false; };
    struct Case {
        const char* program;
        const char* arguments;
        std::function<bool()> request;  // true once delivered for good
    };
    const Case cases[] = {
        {"basic", "wait", end},
        {"net", "accept-loop", end},
        {"basic", "wait",
         [&] {
             runtime.asyncStop();
             runtime.asyncEnd();
             return false;
         }},
        {"basic", "stop", [&] { return runtime.asyncRun(), false; }},
        {"endless", "spin", &test::pushSdlQuit},
        {"endless", "calls", &test::pushSdlQuit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.arguments);
        test::TempDir dir;
        const std::string file = dir.file("written.txt");
        const bool endless = std::string(c.program) == "endless";
        ::setenv("TX_ENDLESS_FILE", file.c_str(), 1);
        test::PortHolder port;
        ::setenv("TX_NET_PORT", std::to_string(port.port()).c_str(), 1);
        port.release();
        unsetenv("TX_RESUMED");
        std::atomic<bool> done{false};
        std::thread requester([&] {
            // The endless program is in its loop once its file is written.
            while (endless && !done && !std::filesystem::exists(file))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            if (endless) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            for (bool delivered = false; !done && !delivered;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                delivered = !done && c.request();
            }
        });
        const auto run = test::runGuest(c.program, c.arguments);
        done = true;
        requester.join();
        ::unsetenv("TX_ENDLESS_FILE");
        EXPECT_EQ(run.outcome, RunOutcome::Ended);
        EXPECT_TRUE(run.debugger.errors.empty());
        if (std::string(c.arguments) == "stop") {
            EXPECT_STREQ(std::getenv("TX_RESUMED"), "yes");
            EXPECT_EQ(run.debugger.stops, 1);
            EXPECT_EQ(run.debugger.runs, 1);
        } else {
            EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
        }
        if (endless) {
            EXPECT_EQ(test::fileText(file), test::endlessFileText());
        }
    }
}

}  // namespace
}  // namespace tx
