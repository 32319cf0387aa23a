// A real txrun ending: its exit codes, SIGINT / SIGTERM sent while guest code spins or blocks in
// every kind of wait, a closed window, and runtime errors without dialogs. Modules are destroyed
// in order: the file the program left open is complete on disk.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "guest_runner.h"
#include "sdl_test_events.h"
#include "test_files.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

std::string txrun(const std::string& program, const std::string& arguments) {
    return std::string(TERVEX_BIN_DIR) + "/tools/txrun " + test::guestImagePath(program) + " " +
           arguments;
}

// The 1001 lines endless.c writes before it blocks, as they must be on disk after the end.
bool fileComplete(const std::string& path) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + "\r\n";
    const auto bytes = test::fileBytes(path);
    return std::string(bytes.begin(), bytes.end()) == text + "complete\r\n";
}

TEST(ProgramEnd, ExitCodesTellHowTheProgramEnded) {
    const std::pair<std::string, int> runs[] = {
        {txrun("basic", "cmdline"), 0},
        {txrun("basic", "end"), 0},
        {std::string(TERVEX_BIN_DIR) + "/tervex -quick", 0},
    };
    for (const auto& [command, code] : runs) {
        const auto run = test::runProcess(command);
        EXPECT_EQ(run.exitCode, code) << command << ": " << run.standardError;
    }
    const auto missing = test::runProcess(std::string(TERVEX_BIN_DIR) + "/tools/txrun /no/x.tmi");
    EXPECT_EQ(missing.exitCode, 255);
    EXPECT_NE(missing.standardError.find("Unable to run Tervex Basic module"), std::string::npos);
    EXPECT_EQ(runtimeGetRuntime().version(), 165) << "the interface version debuggers check";
}

struct SignalCase {
    const char* mode;
    int signal;
    int exitCode;
};

class ProgramEndBySignal : public testing::TestWithParam<SignalCase> {};

TEST_P(ProgramEndBySignal, EndsCleanlyWithTheShellsExitCode) {
    const SignalCase& c = GetParam();
    test::TempDir dir;
    test::PortHolder port;
    port.release();
    // txrun in the background gets the signal once it said "ready" (it is about to block); the
    // shell exits with its exit code. `timeout` keeps a hung child from hanging the suite.
    const std::string out = dir.file("out");
    const std::string script =
        "TX_ENDLESS_FILE=" + dir.file("written.txt") +
        " TX_ENDLESS_PORT=" + std::to_string(port.port()) + " SDL_VIDEODRIVER=offscreen " +
        txrun("endless", c.mode) + " >" + out + " & until grep -q ready " + out +
        "; do sleep 0.01; done; sleep 0.05; kill -" + std::to_string(c.signal) + " $!; wait $!";
    const auto run = test::runProcess("timeout -s KILL 30 sh -c '" + script + "'");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.standardError;
    EXPECT_TRUE(fileComplete(dir.file("written.txt"))) << "modules destroyed, the file flushed";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ProgramEndBySignal,
    testing::Values(SignalCase{"spin", SIGTERM, 143}, SignalCase{"spin", SIGINT, 130},
                    SignalCase{"read", SIGTERM, 143}, SignalCase{"accept", SIGINT, 130},
                    SignalCase{"delay", SIGTERM, 143}, SignalCase{"timer", SIGTERM, 143}),
    [](const testing::TestParamInfo<SignalCase>& info) {
        return std::string(info.param.mode) +
               (info.param.signal == SIGINT ? "_sigint" : "_sigterm");
    });

// A runtime error with no way to show a box, or with boxes turned off: the message reaches
// standard error and the process ends on its own. With no display at all, the offscreen display
// is chosen before SDL tries any other: our one line, nothing from the drivers SDL would try.
TEST(ProgramEnd, RuntimeErrorWithoutDialogsGoesToStandardErrorOnly) {
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ";
    for (const std::string& environment :
         {std::string("TERVEX_NO_DIALOGS=1 "), noDisplay, noDisplay + "XDG_RUNTIME_DIR= "}) {
        const auto run = test::runProcess(environment + txrun("endless", "error"));
        EXPECT_EQ(run.exitCode, 1) << environment;
        EXPECT_NE(run.standardError.find("Error! endless stopped on purpose"), std::string::npos)
            << environment << ": " << run.standardError;
        EXPECT_EQ(run.standardError.find("XDG_RUNTIME_DIR"), std::string::npos);
        if (environment.starts_with("env")) {
            EXPECT_NE(run.standardError.find("runs on an invisible offscreen display"),
                      std::string::npos);
        }
    }
}

// Closing the window (SDL's quit event, pushed from another thread, repeatedly so that a push
// before the event queue runs is not the only one) ends a program that never calls a command or
// one that calls them all the time, quietly, with its modules destroyed.
TEST(ProgramEnd, WindowCloseEndsAnEndlessLoop) {
    for (const char* mode : {"spin", "calls"}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        const std::string file = dir.file("written.txt");
        ::setenv("TX_ENDLESS_FILE", file.c_str(), 1);
        std::atomic<bool> done{false};
        std::thread closer([&] {
            while (!done && !std::filesystem::exists(file)) std::this_thread::sleep_for(5ms);
            std::this_thread::sleep_for(100ms);  // the file written, inside the loop
            while (!done) {
                test::pushSdlQuit();
                std::this_thread::sleep_for(50ms);
            }
        });
        const test::GuestRun run = test::runGuest("endless", mode);
        done = true;
        closer.join();
        ::unsetenv("TX_ENDLESS_FILE");
        EXPECT_EQ(run.outcome, RunOutcome::Ended);
        EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
        EXPECT_TRUE(run.debugger.errors.empty());
        EXPECT_TRUE(fileComplete(file));
    }
}

}  // namespace
}  // namespace tx
