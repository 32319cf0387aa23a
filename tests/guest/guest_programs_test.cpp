// Every self-checking guest program, case by case: the program, its command line, the debug
// flag, and how it must end. A failed CHECK inside a program ends it with
// "check failed at line N", which names the broken rule. Some runs are stopped, resumed or ended
// by requests from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "guest_runner.h"
#include "runtime_stats.h"
#include "sdl_test_events.h"
#include "test_files.h"

namespace tx {
namespace {

#define TEN "0123456789"
#define FIFTY TEN TEN TEN TEN TEN

// What another thread asks of the run: an end request, a stop request then an end request, a run
// request (after the program stopped itself), closing the window (SDL's quit event, pushed
// once into the running event queue, so that none is left for the next run), or typing "hi",
// Enter, three Rights, two Downs and Escape.
enum class Request { None, End, StopThenEnd, Run, Close, Keys };

struct Case {
    const char* program;
    const char* arguments;  // one run for each '|'-separated command line
    bool debug;
    const char* message;          // the first runtime error; "" when the program ends by itself
    const char* stats = nullptr;  // RuntimeStats counts "strings/objects/unreleased ..."
    const char* log = nullptr;    // the last DebugLog line
    Request request = Request::None;
};

const Case kCases[] = {
    {"basic", "main|   cmdline  |\tcmd line\t|end", false, ""},
    {"basic", "error", false, FIFTY FIFTY FIFTY FIFTY FIFTY "01234"},

    {"faults", "divide", false, "Integer divide by zero"},

    {"language", "text|arithmetic", false, ""},
    {"language", "negative-array", false, "Array index out of bounds"},
    {"language", "looping-list|looping-delete-each", false, "Object list is corrupt"},
    {"language", "huge-field-count|huge-array|wrapping-array|many-dimensions|huge-vector", false,
     "Out of memory"},

    {"math", "values|sequence|seeds", false, ""},

    {"strings", "commands", false, "", "2/0/0"},
    {"strings", "left|right|lset|rset", false, "parameter must be positive"},
    {"strings", "instr|mid", false, "parameter must be greater than 0"},
    // A string of exactly 256 MiB is built; one byte more is refused.
    {"strings", "cap|cap-append", false, "Out of string memory", nullptr, "28"},

    {"io", "formats|files|directories|banks", false, ""},
    {"io", "buffermax|int6|short8", true, ""},
    {"io", "buffer0|buffertoobig", true, "Illegal buffer size"},
    {"io", "emptybank|int7|intmax|negative|copysrc|writebytes", true, "Offset out of range"},
    {"io", "buffer0|buffertoobig|int7|intmax|writebytes", false, ""},

    {"net", "udp|tcp|accepted|host-index", false, ""},
    {"net", "accepted", true, "TCP Stream does not exist"},
    {"net", "host-index", true, "Host index out of range"},

    // An end request stops a waiting program quietly, a stop request suspends it until an end or
    // run request. Closing the window ends a program that never calls a command, or one that
    // calls them all the time, quietly, with its modules destroyed: the file it left open is
    // complete.
    {"basic", "wait", false, "", nullptr, nullptr, Request::End},
    {"net", "accept-loop", false, "", nullptr, nullptr, Request::End},
    {"basic", "wait", false, "", nullptr, nullptr, Request::StopThenEnd},
    {"basic", "stop", false, "", nullptr, "resumed", Request::Run},
    {"endless", "spin|calls", false, "", nullptr, nullptr, Request::Close},

    {"graphics", "picture", false, ""},
    {"graphics", "state", true, ""},
    {"graphics", "error", false, "Image does not exist"},
    {"graphics", "modeindex|modeheight|modedepth", true, "Illegal graphics mode index"},
    {"graphics", "driverindex|setdriver", true, "Illegal graphics driver index"},

    {"images", "game", false, ""},
    {"images", "frame-2|frame-1|collide-frame", true, "Image frame out of range"},
    {"images", "quiet", false, ""},
    {"images", "count0", false, "Illegal frame count"},
    {"images", "first-1", false, "Illegal first frame"},
    {"images", "not-enough", false, "Not enough frames in bitmap"},
    {"images", "cell0", false, "Integer divide by zero"},

    {"console", "", false, "", nullptr, nullptr, Request::Keys},
};

// A case with one of its command lines.
struct Run {
    Case c;
    std::string arguments;
};

// How ctest names a run's parameter.
void PrintTo(const Run& run, std::ostream* out) {
    *out << run.c.program << ' ' << run.arguments;
}

std::vector<Run> runs() {
    std::vector<Run> runs;
    for (const Case& c : kCases) {
        for (std::string_view rest = c.arguments;;) {
            const size_t bar = rest.find('|');
            runs.push_back({c, std::string(rest.substr(0, bar))});
            if (bar == std::string_view::npos) break;
            rest.remove_prefix(bar + 1);
        }
    }
    return runs;
}

// Sends the request once; true when it is delivered for good (end and stop requests are sent
// again every 20 ms until the run is over, so that none arrives too early and is lost).
bool sendRequest(Request request, const std::string& endlessFile, const std::string& readyFile) {
    RuntimeInterface& runtime = runtimeGetRuntime();
    switch (request) {
        case Request::StopThenEnd:
            runtime.asyncStop();
            [[fallthrough]];
        case Request::End:
            runtime.asyncEnd();
            return false;
        case Request::Run:
            runtime.asyncRun();
            return false;
        case Request::Close:
            // The endless program is in its loop some time after its file appears.
            if (!std::filesystem::exists(endlessFile)) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return test::pushSdlQuit();
        case Request::Keys: {
            // SDL's scan codes: h, i, Enter, Right, Down, Escape.
            if (!std::filesystem::exists(readyFile)) return false;
            for (const int key : {11, 12, 40, 79, 79, 79, 81, 81, 41}) {
                test::pushSdlKey(key, true);
                test::pushSdlKey(key, false);
            }
            return true;
        }
        case Request::None:
            break;
    }
    return true;
}

class GuestPrograms : public ::testing::TestWithParam<Run> {};

TEST_P(GuestPrograms, EndAsExpected) {
    const Case& c = GetParam().c;
    // The directory the programs share, given in TX_DIR.
    static const test::TempDir dir;
    ::setenv("TX_DIR", std::filesystem::canonical(dir.path()).c_str(), 1);
    const std::string endlessFile = dir.file("written.txt");
    ::setenv("TX_ENDLESS_FILE", endlessFile.c_str(), 1);
    std::filesystem::remove(endlessFile);
    const std::string readyFile = dir.file("console-ready");
    std::filesystem::remove(readyFile);
    const auto startDir = std::filesystem::current_path();
    test::GuestRun run;
    std::string output;
    // A case that found its server port taken by another process runs again with another.
    for (int attempt = 0; attempt < 5; ++attempt) {
        test::PortHolder refused, server;
        ::setenv("TX_NET_REFUSED", std::to_string(refused.port()).c_str(), 1);
        ::setenv("TX_NET_PORT", std::to_string(server.port()).c_str(), 1);
        server.release();
        std::atomic<bool> done{false};
        std::thread requester([&] {
            for (bool delivered = c.request == Request::None; !delivered && !done;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                delivered = !done && sendRequest(c.request, endlessFile, readyFile);
            }
        });
        testing::internal::CaptureStderr();
        run = test::runGuest(c.program, GetParam().arguments, c.debug);
        output = testing::internal::GetCapturedStderr();
        done = true;
        requester.join();
        if (test::firstError(run) != "port taken") break;
    }
    std::filesystem::current_path(startDir);
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(test::firstError(run), c.message);
    EXPECT_EQ(run.outcome, *c.message != 0 ? RunOutcome::RuntimeError : RunOutcome::Ended);
    EXPECT_LE(run.debugger.errors.size(), 1u) << "nothing runs after the first error";
    if (c.stats != nullptr) {
        EXPECT_EQ(test::statsCounts(output), c.stats);
    }
    if (c.log != nullptr) {
        ASSERT_FALSE(run.debugger.events.empty());
        EXPECT_EQ(run.debugger.events.back(), std::string("log ") + c.log);
    }
    if (c.request == Request::Run) {
        EXPECT_EQ(run.debugger.stops, 1);
        EXPECT_EQ(run.debugger.runs, 1);
    } else if (c.request != Request::None && c.request != Request::Keys) {
        EXPECT_TRUE(run.debugger.infos.empty()) << "the program did not return by itself";
    }
    if (std::string(c.program) == "endless") {
        EXPECT_EQ(test::fileText(endlessFile), test::endlessFileText());
    }
}

std::string caseName(const ::testing::TestParamInfo<Run>& info) {
    std::string name = std::string(info.param.c.program) + "_";
    for (const char p : info.param.arguments)
        name += std::isalnum(static_cast<unsigned char>(p)) ? p : '_';
    static const char* const requests[] = {"", "_end", "_stop_end", "_run", "_close", "_keys"};
    return name + (info.param.c.debug ? "_debug" : "") +
           requests[static_cast<int>(info.param.c.request)];
}

INSTANTIATE_TEST_SUITE_P(Table, GuestPrograms, ::testing::ValuesIn(runs()), caseName);

}  // namespace
}  // namespace tx
