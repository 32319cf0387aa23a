// Every self-checking guest program, case by case: the program, its command line, the debug
// flag, and how it must end. A failed CHECK inside a program ends it with
// "check failed at line N", which names the broken rule.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "guest_runner.h"
#include "test_files.h"

namespace tx {
namespace {

constexpr RunOutcome kEnded = RunOutcome::Ended, kError = RunOutcome::RuntimeError;

#define TEN "0123456789"
#define FIFTY TEN TEN TEN TEN TEN

struct Case {
    const char* program;
    const char* arguments;
    bool debug;
    RunOutcome outcome;
    const char* message;          // the first runtime error, "" for none
    const char* stats = nullptr;  // RuntimeStats counts "strings/objects/unreleased ..."
    const char* log = nullptr;    // the last DebugLog line
};

const Case kCases[] = {
    {"basic", "main", false, kEnded, ""},
    {"basic", "   cmdline  ", false, kEnded, ""},
    {"basic", "\tcmd line\t", false, kEnded, ""},
    {"basic", "end", false, kEnded, ""},
    {"basic", "many-timers", false, kEnded, ""},
    {"basic", "error", false, kError, FIFTY FIFTY FIFTY FIFTY FIFTY "01234"},

    {"faults", "none", false, kEnded, ""},
    {"faults", "null", false, kError, "Illegal memory address"},
    {"faults", "wild-jump", false, kError, "Illegal memory address"},
    {"faults", "write-thunk", false, kError, "Illegal memory address"},
    {"faults", "store-thunk", false, kError, "Illegal memory address"},
    {"faults", "illegal", false, kError, "Illegal instruction"},
    {"faults", "divide", false, kError, "Integer divide by zero"},
    {"faults", "overflow", false, kError, "Unknown runtime exception"},
    {"faults", "stack", false, kError, "Stack overflow!"},
    {"faults", "breakpoint", false, kError, "Unknown runtime exception"},

    {"language", "objects", false, kEnded, "",
     "0/0/0 0/1/1 0/0/0 0/0/1 0/0/0 0/0/1 0/0/0 0/0/0 2/2/2 0/1/1"},
    {"language", "foreach", false, kEnded, "", "0/3/4 0/3/3 0/0/0"},
    {"language", "handles", false, kEnded, ""},
    {"language", "arrays", false, kEnded, "", "5/2/2 0/2/2 2/2/2 0/2/2"},
    {"language", "data", false, kError, "Out of data"},
    {"language", "arithmetic", false, kEnded, ""},
    {"language", "mod-zero", false, kError, "Integer divide by zero"},
    {"language", "mod-overflow", false, kError, "Unknown runtime exception"},
    {"language", "array-bounds", false, kError, "Array index out of bounds"},
    {"language", "vector-bounds", false, kError, "Tervex array index out of bounds"},
    {"language", "null-object", false, kError, "Object does not exist"},
    {"language", "null-next", false, kError, "Illegal memory address"},
    {"language", "bad-data", false, kError, "Bad data type"},
    {"language", "looping-list", false, kError, "Object list is corrupt"},
    {"language", "looping-delete-each", false, kError, "Object list is corrupt"},
    {"language", "wild-link", false, kError, "Illegal memory address"},
    {"language", "wild-type", false, kError, "Illegal memory address"},
    {"language", "huge-field-count", false, kError, "Out of memory"},
    {"language", "bad-field-type", false, kError, "Illegal memory address"},
    {"language", "huge-array", false, kError, "Out of memory"},
    {"language", "wrapping-array", false, kError, "Out of memory"},
    {"language", "negative-array", false, kError, "Array index out of bounds"},
    {"language", "many-dimensions", false, kError, "Out of memory"},
    {"language", "huge-vector", false, kError, "Out of memory"},

    {"math", "values", false, kEnded, ""},
    {"math", "sequence", false, kEnded, ""},
    {"math", "rand", false, kEnded, ""},
    {"math", "rnd", false, kEnded, ""},
    {"math", "seeds", false, kEnded, ""},

    {"strings", "commands", false, kEnded, ""},
    {"strings", "left", false, kError, "parameter must be positive"},
    {"strings", "right", false, kError, "parameter must be positive"},
    {"strings", "lset", false, kError, "parameter must be positive"},
    {"strings", "rset", false, kError, "parameter must be positive"},
    {"strings", "instr", false, kError, "parameter must be greater than 0"},
    {"strings", "mid", false, kError, "parameter must be greater than 0"},
    // A string of exactly 256 MiB is built; one byte more is refused.
    {"strings", "cap", false, kError, "Out of string memory", nullptr, "28"},
    {"strings", "cap-append", false, kError, "Out of string memory", nullptr, "28"},

    {"io", "formats", false, kEnded, ""},
    {"io", "files", false, kEnded, ""},
    {"io", "directories", false, kEnded, ""},
    {"io", "banks", false, kEnded, ""},
    {"io", "buffermax", true, kEnded, ""},
    {"io", "int6", true, kEnded, ""},
    {"io", "short8", true, kEnded, ""},
    {"io", "buffer0", true, kError, "Illegal buffer size"},
    {"io", "buffertoobig", true, kError, "Illegal buffer size"},
    {"io", "emptybank", true, kError, "Offset out of range"},
    {"io", "int7", true, kError, "Offset out of range"},
    {"io", "intmax", true, kError, "Offset out of range"},
    {"io", "short9", true, kError, "Offset out of range"},
    {"io", "negative", true, kError, "Offset out of range"},
    {"io", "float7", true, kError, "Offset out of range"},
    {"io", "copysrc", true, kError, "Offset out of range"},
    {"io", "writebytes", true, kError, "Offset out of range"},
    {"io", "buffer0", false, kEnded, ""},
    {"io", "buffertoobig", false, kEnded, ""},
    {"io", "int7", false, kEnded, ""},
    {"io", "intmax", false, kEnded, ""},
    {"io", "writebytes", false, kEnded, ""},

    {"net", "udp", false, kEnded, ""},
    {"net", "tcp", false, kEnded, ""},
    {"net", "accepted", true, kError, "TCP Stream does not exist"},
    {"net", "accepted", false, kEnded, ""},
    {"net", "host-index", true, kError, "Host index out of range"},
    {"net", "host-index", false, kEnded, ""},

    {"graphics", "state", true, kEnded, ""},
    {"graphics", "mode4", false, kError, "Illegal Graphics mode"},
    {"graphics", "mode-1", false, kError, "Illegal Graphics mode"},
    {"graphics", "unable", false, kError, "Unable to set graphics mode"},
    {"graphics", "modeindex", true, kError, "Illegal graphics mode index"},
    {"graphics", "modeheight", true, kError, "Illegal graphics mode index"},
    {"graphics", "modedepth", true, kError, "Illegal graphics mode index"},
    {"graphics", "driverindex", true, kError, "Illegal graphics driver index"},
    {"graphics", "setdriver", true, kError, "Illegal graphics driver index"},
    {"graphics", "modeindex", false, kEnded, ""},
    {"graphics", "setdriver", false, kEnded, ""},

    {"images", "missing-image", true, kError, "Image does not exist"},
    {"images", "frame-2", true, kError, "Image frame out of range"},
    {"images", "frame-1", true, kError, "Image frame out of range"},
    {"images", "collide-frame", true, kError, "Image frame out of range"},
    {"images", "quiet", false, kEnded, ""},
    {"images", "count0", false, kError, "Illegal frame count"},
    {"images", "first-1", false, kError, "Illegal first frame"},
    {"images", "not-enough", false, kError, "Not enough frames in bitmap"},
    {"images", "cell0", false, kError, "Integer divide by zero"},
};

// The counts of every RuntimeStats report in the text, as "strings/objects/unreleased ...".
std::string statsCounts(const std::string& text) {
    std::string counts;
    int s = 0, o = 0, u = 0;
    for (size_t at = text.find("Active strings:"); at != std::string::npos;
         at = text.find("Active strings:", at + 1)) {
        if (std::sscanf(text.c_str() + at,
                        "Active strings:%d\nActive objects:%d\nUnreleased Objects:%d\n", &s, &o,
                        &u) != 3)
            return "malformed report at " + std::to_string(at);
        counts += (counts.empty() ? "" : " ") + std::to_string(s) + "/" + std::to_string(o) + "/" +
                  std::to_string(u);
    }
    return counts;
}

class GuestPrograms : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<test::TempDir>();
        ::setenv("TX_DIR", std::filesystem::canonical(dir->path()).c_str(), 1);
    }
    static void TearDownTestSuite() { dir.reset(); }
    static inline std::unique_ptr<test::TempDir> dir;
};

TEST_P(GuestPrograms, EndAsExpected) {
    const Case& c = GetParam();
    const auto startDir = std::filesystem::current_path();
    test::GuestRun run;
    std::string output;
    // A case that found its server port taken by another process runs again with another.
    for (int attempt = 0; attempt < 5; ++attempt) {
        test::PortHolder refused, server;
        ::setenv("TX_NET_REFUSED", std::to_string(refused.port()).c_str(), 1);
        ::setenv("TX_NET_PORT", std::to_string(server.port()).c_str(), 1);
        server.release();
        testing::internal::CaptureStderr();
        run = test::runGuest(c.program, c.arguments, c.debug);
        output = testing::internal::GetCapturedStderr();
        if (test::firstError(run) != "port taken") break;
    }
    std::filesystem::current_path(startDir);
    ASSERT_EQ(run.link.status, LinkResult::Status::Linked) << run.link.message;
    EXPECT_EQ(test::firstError(run), c.message);
    EXPECT_EQ(run.outcome, c.outcome);
    EXPECT_LE(run.debugger.errors.size(), 1u) << "nothing runs after the first error";
    if (c.stats != nullptr) {
        EXPECT_EQ(statsCounts(output), c.stats);
    }
    if (c.log != nullptr) {
        ASSERT_FALSE(run.debugger.events.empty());
        EXPECT_EQ(run.debugger.events.back(), std::string("log ") + c.log);
    }
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name = std::string(info.param.program) + "_";
    for (const char* p = info.param.arguments; *p != 0; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name + (info.param.debug ? "_debug" : "");
}

INSTANTIATE_TEST_SUITE_P(Table, GuestPrograms, ::testing::ValuesIn(kCases), caseName);

}  // namespace
}  // namespace tx
