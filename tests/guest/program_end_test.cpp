// Ending a program from outside while it runs guest code that never returns: a closed window
// (SDL's quit event from another thread) and SIGINT / SIGTERM sent to a real txrun, from a tight
// loop and from every kind of blocking wait. Modules are destroyed in order (the file the
// program left open is complete on disk) and the exit code is what a shell expects. Times are
// printed, not asserted.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "guest_runner.h"
#include "sdl_test_events.h"
#include "test_files.h"

extern char** environ;

namespace tx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous: the program should end within a fraction of a second; the bound only keeps a hung
// child from hanging the suite.
constexpr auto kEndBound = 10s;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int freeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// The 1001 lines endless.c writes before it blocks, as they must be on disk after the end.
std::string completeFile() {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + "\r\n";
    return text + "complete\r\n";
}

bool fileComplete(const std::string& path) {
    const std::vector<uint8_t> bytes = test::fileBytes(path);
    return std::string(bytes.begin(), bytes.end()) == completeFile();
}

// txrun running endless.c with its standard output on a pipe.
class Child {
public:
    Child(const std::string& mode, const std::vector<std::string>& extraEnvironment) {
        std::vector<std::string> environment(extraEnvironment);
        for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string txrun = std::string(TERVEX_BIN_DIR) + "/tools/txrun";
        const std::string image = test::guestImagePath("endless");
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(pipeFds[1], 1);
            const char* argv[] = {txrun.c_str(), image.c_str(), mode.c_str(), nullptr};
            ::execve(txrun.c_str(), const_cast<char* const*>(argv), envp.data());
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        out_ = pipeFds[0];
    }
    ~Child() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // True once the program said "ready" (it is about to block).
    bool waitReady() {
        std::string seen;
        const Clock::time_point deadline = Clock::now() + kEndBound;
        while (seen.find("ready") == std::string::npos && Clock::now() < deadline) {
            pollfd entry{out_, POLLIN, 0};
            if (::poll(&entry, 1, 100) <= 0) continue;
            char buffer[64];
            const ssize_t got = ::read(out_, buffer, sizeof buffer);
            if (got <= 0) return false;
            seen.append(buffer, static_cast<size_t>(got));
        }
        return seen.find("ready") != std::string::npos;
    }

    void signal(int number) { ::kill(pid_, number); }

    // The exit code, or none when the process did not end in time (or ended by a signal).
    std::optional<int> waitExit() {
        const Clock::time_point deadline = Clock::now() + kEndBound;
        int status = 0;
        while (Clock::now() < deadline) {
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                reaped_ = true;
                if (WIFEXITED(status)) return WEXITSTATUS(status);
                return std::nullopt;
            }
            std::this_thread::sleep_for(1ms);
        }
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool reaped_ = false;
};

struct SignalCase {
    const char* mode;
    int signal;
    int exitCode;
};

class ProgramEndBySignal : public testing::TestWithParam<SignalCase> {};

TEST_P(ProgramEndBySignal, EndsCleanlyWithTheShellsExitCode) {
    const SignalCase& c = GetParam();
    test::TempDir dir;
    const std::string file = dir.file("written.txt");
    Child child(c.mode,
                {"TX_ENDLESS_FILE=" + file, "TX_ENDLESS_PORT=" + std::to_string(freeTcpPort()),
                 "SDL_VIDEODRIVER=offscreen"});
    ASSERT_TRUE(child.waitReady()) << "the program never got to its blocking part";
    std::this_thread::sleep_for(50ms);  // well inside the loop or the wait
    const Clock::time_point sent = Clock::now();
    child.signal(c.signal);
    const std::optional<int> code = child.waitExit();
    std::printf("[ measured ] %s, signal %d: ended %.1f ms after the signal\n", c.mode, c.signal,
                millisSince(sent));
    ASSERT_TRUE(code.has_value()) << "the program did not end by itself";
    EXPECT_EQ(*code, c.exitCode);
    EXPECT_TRUE(fileComplete(file)) << "modules destroyed, the open file flushed";
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
// standard error and the process ends on its own. Without a display, start-up says so in one
// line.
TEST(ProgramEnd, RuntimeErrorWithoutDialogsGoesToStandardErrorOnly) {
    const std::string txrun =
        std::string(TERVEX_BIN_DIR) + "/tools/txrun " + test::guestImagePath("endless") + " error";
    for (const char* environment :
         {"TERVEX_NO_DIALOGS=1", "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER"}) {
        const test::ProcessResult run = test::runProcess(std::string(environment) + " " + txrun);
        EXPECT_EQ(run.exitCode, 1) << environment;
        EXPECT_NE(run.standardError.find("Error! endless stopped on purpose"), std::string::npos)
            << environment << ": " << run.standardError;
    }
    // With no display at all, the offscreen display is chosen before SDL tries any other: our
    // one line, and nothing from the drivers SDL would have tried.
    const test::ProcessResult headless = test::runProcess(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR= " + txrun);
    EXPECT_NE(headless.standardError.find("runs on an invisible offscreen display"),
              std::string::npos)
        << headless.standardError;
    EXPECT_EQ(headless.standardError.find("XDG_RUNTIME_DIR"), std::string::npos)
        << headless.standardError;
}

// Closing the window (SDL's quit event, pushed from another thread) ends a program that never
// calls a command, quietly, with its modules destroyed.
TEST(ProgramEnd, WindowCloseEndsAnEndlessArithmeticLoop) {
    test::TempDir dir;
    const std::string file = dir.file("written.txt");
    ::setenv("TX_ENDLESS_FILE", file.c_str(), 1);
    std::atomic<bool> done{false};
    Clock::time_point firstPush{};
    std::thread closer([&] {
        while (!done && !std::filesystem::exists(file)) std::this_thread::sleep_for(5ms);
        std::this_thread::sleep_for(100ms);  // inside the loop
        // Repeated, so that a push before the event queue runs is not the only one.
        while (!done) {
            if (test::pushSdlQuit() && firstPush == Clock::time_point{}) firstPush = Clock::now();
            std::this_thread::sleep_for(50ms);
        }
    });
    const test::GuestRun run = test::runGuest("endless", "spin");
    const Clock::time_point ended = Clock::now();
    done = true;
    closer.join();
    ::unsetenv("TX_ENDLESS_FILE");
    std::printf("[ measured ] window close: ended %.1f ms after the first quit event\n",
                std::chrono::duration<double, std::milli>(ended - firstPush).count());
    EXPECT_EQ(run.outcome, RunOutcome::Ended);
    EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
    EXPECT_TRUE(run.debugger.errors.empty());
    EXPECT_TRUE(fileComplete(file));
}

}  // namespace
}  // namespace tx
