// How a program ends: returning, End, RuntimeError, and a library module that cannot start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basic_module.h"
#include "guest_runner.h"
#include "string_pool.h"

namespace tx {
namespace {

using test::env;
using test::runGuest;

TEST(GuestLifecycle, ReturningReportsProgramHasEndedOnce) {
    unsetenv("TX_RETURNS");
    const auto run = runGuest("returns");
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_RETURNS"), "yes");
    EXPECT_EQ(run.debugger.infos, std::vector<std::string>{"Program has ended"});
    EXPECT_TRUE(run.debugger.errors.empty());
}

TEST(GuestLifecycle, EndAsTheFirstStatementEndsQuietly) {
    unsetenv("TX_AFTER_END");
    const auto run = runGuest("end_first");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(env("TX_AFTER_END"), "<unset>");
    EXPECT_TRUE(run.debugger.infos.empty());
    EXPECT_TRUE(run.debugger.errors.empty());
}

TEST(GuestLifecycle, RuntimeErrorReportsTheFirst255Characters) {
    unsetenv("TX_AFTER_ERROR");
    const auto run = runGuest("runtime_error");
    EXPECT_EQ(run.outcome, RunOutcome::RuntimeError);
    std::string expected;
    for (int i = 0; i < 30; ++i) expected += "0123456789";
    expected.resize(255);
    ASSERT_EQ(run.debugger.errors.size(), 1u);
    EXPECT_EQ(run.debugger.errors[0], expected);
    EXPECT_EQ(env("TX_AFTER_ERROR"), "<unset>");
}

// Stand-in modules that record their lifecycle around the real basic module.
std::vector<std::string> lifecycleLog;
int failingModule = -1;
size_t stringBlocksAtDestroy = 0;

template <int Index>
bool fakeCreate() {
    lifecycleLog.push_back("create " + std::to_string(Index));
    return Index != failingModule;
}
template <int Index>
void fakeDestroy() {
    lifecycleLog.push_back("destroy " + std::to_string(Index));
    if (Index == 10) stringBlocksAtDestroy = stringPool().blockCount();
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
    for (const char* program : {"returns", "end_first", "runtime_error"}) {
        SCOPED_TRACE(program);
        lifecycleLog.clear();
        failingModule = -1;
        runGuest(program);
        EXPECT_EQ(lifecycleLog, expected);
    }
}

TEST(GuestLifecycle, AFailingModuleStopsTheStartAndUndoesTheOthers) {
    ScopedModuleTable table(kRecordedModules);
    lifecycleLog.clear();
    failingModule = 7;  // graphics
    unsetenv("TX_RETURNS");
    const auto run = runGuest("returns");
    failingModule = -1;
    EXPECT_EQ(run.outcome, RunOutcome::StartupFailed);
    EXPECT_EQ(env("TX_RETURNS"), "<unset>") << "the entry point must not run";
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
    const auto run = runGuest("strings");
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_EQ(stringBlocksAtDestroy, 2u) << "513 live strings need a second block";
    EXPECT_EQ(liveStrings(), 0);
}

}  // namespace
}  // namespace tx
