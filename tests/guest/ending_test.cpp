// How a program ends, seen from outside: the reports of returning and End, module start-up and
// shut-down around every ending; then standalone runs of txrun, each a shell script in a
// directory of its own: exit codes, SIGINT / SIGTERM sent while guest code spins or blocks in
// every kind of wait (modules are destroyed in order: the file the program left open is complete
// on disk), runtime errors without dialogs, and where DebugLog lines go, in order with what the
// program writes to /dev/stderr and /dev/stdout.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "../tools/tools_test_support.h"
#include "basic_module.h"
#include "guest_runner.h"
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

struct ScriptCase {
    const char* name;
    std::string script;  // $T is txrun, $G the guest images, $P a free port
    int exitCode;
    std::vector<std::pair<const char*, std::string>> files = {};  // each one's text after
    std::vector<std::string> inStandardError = {};
};

// txrun in the background gets the signal once it said "ready" (it is about to block); the
// shell exits with its exit code.
std::string killedWhile(const std::string& mode, const std::string& signal) {
    return "TX_ENDLESS_FILE=written.txt TX_ENDLESS_PORT=$P $T $G/endless.tmi " + mode +
           " >out & until grep -q ready out; do sleep 0.01; done; sleep 0.05; kill -" + signal +
           " $!; wait $!";
}

// The lines debug_output.c writes in order, DebugLog lines ending in "\n", the file commands'
// lines in "\r\n"; `log` says whether the DebugLog lines are there.
std::string programLines(bool log, bool standardOutput, bool standardError) {
    std::string text;
    for (int i = 0; i < 3; ++i) {
        if (log) text += "log " + std::to_string(i) + "\n";
        if (standardError) text += "stderr " + std::to_string(i) + "\r\n";
        if (standardOutput) text += "stdout " + std::to_string(i) + "\r\n";
    }
    if (standardError) text += "second handle\r\nlast\r\n";
    if (log) text += "end\n";
    return text;
}

TEST(ProgramEnd, ScriptedRunsEndAsExpected) {
    const std::string written = test::endlessFileText();
    const std::string debugRun = "TERVEX_DEBUG=1 $T $G/debug_output.tmi";
    const std::string noDisplay = "unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER; ";
    const std::string errorRun = "$T $G/endless.tmi error";
    const ScriptCase cases[] = {
        {"returns", "$T $G/basic.tmi cmdline", 0},
        {"ends", "$T $G/basic.tmi end", 0},
        {"spin, SIGTERM", killedWhile("spin", "TERM"), 143, {{"written.txt", written}}},
        {"spin, SIGINT", killedWhile("spin", "INT"), 130, {{"written.txt", written}}},
        {"read, SIGTERM", killedWhile("read", "TERM"), 143, {{"written.txt", written}}},
        {"accept, SIGINT", killedWhile("accept", "INT"), 130, {{"written.txt", written}}},
        {"delay, SIGTERM", killedWhile("delay", "TERM"), 143, {{"written.txt", written}}},
        {"timer, SIGTERM", killedWhile("timer", "TERM"), 143, {{"written.txt", written}}},
        // A runtime error with no way to show a box, or with boxes turned off: the message
        // reaches standard error and the process ends on its own. With no display at all, the
        // offscreen display is chosen before SDL tries any other: our one line, nothing from the
        // drivers SDL would try.
        {"no dialogs",
         "TERVEX_NO_DIALOGS=1 " + errorRun,
         1,
         {},
         {"Error! endless stopped on purpose"}},
        {"no display",
         noDisplay + errorRun,
         1,
         {},
         {"Error! endless stopped on purpose", "runs on an invisible offscreen display"}},
        {"no runtime dir",
         noDisplay + "XDG_RUNTIME_DIR= " + errorRun,
         1,
         {},
         {"Error! endless stopped on purpose", "runs on an invisible offscreen display"}},
        // DebugLog goes nowhere without TERVEX_DEBUG, to standard error with it.
        {"quiet",
         "$T $G/debug_output.tmi >out 2>err",
         0,
         {{"out", programLines(false, true, false)}, {"err", programLines(false, false, true)}}},
        {"debug, separate files",
         debugRun + " >out 2>err",
         0,
         {{"out", programLines(false, true, false)}, {"err", programLines(true, false, true)}}},
        // Both streams in one file: each writer continues where the other stopped.
        {"debug, one file", debugRun + " >out 2>&1", 0, {{"out", programLines(true, true, true)}}},
        {"log file",
         "TERVEX_LOG=log " + debugRun + " >out 2>&1",
         0,
         {{"out", programLines(false, true, true)}, {"log", programLines(true, false, false)}}},
        // A log file that cannot be written: standard error instead.
        {"unwritable log file",
         "TERVEX_LOG=no/log $T $G/debug_output.tmi >out 2>err",
         0,
         {{"out", programLines(false, true, false)},
          {"err",
           "Can't write log no/log: No such file or directory; DebugLog goes to standard "
           "error\n" +
               programLines(true, false, true)}}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::PortHolder port;
        port.release();
        std::ofstream(dir.file("run.sh"))
            << "cd " << dir.path() << "; unset TERVEX_DEBUG TERVEX_LOG TX_ENDLESS_FILE\n"
            << "export SDL_VIDEODRIVER=offscreen T=" TERVEX_BIN_DIR
               "/tools/txrun G=" TERVEX_GUEST_DIR
            << " P=" << port.port() << "\n"
            << c.script << "\n";
        // `timeout` keeps a hung child from hanging the suite.
        const auto run = txtest::runCommand("timeout -s KILL 30 sh " + dir.file("run.sh"));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        for (const auto& [file, text] : c.files) EXPECT_EQ(test::fileText(dir.file(file)), text);
        for (const std::string& part : c.inStandardError)
            EXPECT_NE(run.output.find(part), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("XDG_RUNTIME_DIR"), std::string::npos);
    }
}

}  // namespace
}  // namespace tx
