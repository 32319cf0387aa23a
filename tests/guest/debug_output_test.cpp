// DebugLog output of a standalone run: standard error with TERVEX_DEBUG=1, the TERVEX_LOG file
// (standard error when it cannot be written), nothing otherwise; in order with what the program
// writes to /dev/stderr and /dev/stdout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "guest_runner.h"
#include "test_files.h"

namespace tx {
namespace {

std::string fileText(const std::string& path) {
    const auto bytes = test::fileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The program's lines in the order it wrote them, DebugLog lines ending in "\n", the file
// commands' lines in "\r\n"; `log` says whether the DebugLog lines are there.
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

TEST(DebugOutput, LinesComeOutInOrder) {
    test::TempDir dir;
    const std::string run =
        std::string(TERVEX_BIN_DIR) + "/tools/txrun " + test::guestImagePath("debug_output");
    const std::string out = dir.file("out"), err = dir.file("err"), log = dir.file("log");
    struct Case {
        const char* name;
        std::string environment;
        std::string redirection;
        std::string expectedOut;  // what the file `out` holds afterwards
        std::string expectedErr;  // `err`, when the redirection names it
        std::string expectedLog;  // `log`, when the run writes one
    };
    const Case cases[] = {
        {"quiet", "", " >" + out + " 2>" + err, programLines(false, true, false),
         programLines(false, false, true), ""},
        {"debug, separate files", "TERVEX_DEBUG=1", " >" + out + " 2>" + err,
         programLines(false, true, false), programLines(true, false, true), ""},
        // Both streams in one file: each writer continues where the other stopped.
        {"debug, one file", "TERVEX_DEBUG=1", " >" + out + " 2>&1", programLines(true, true, true),
         "", ""},
        {"debug, appending", "TERVEX_DEBUG=1", " >>" + out + " 2>&1",
         "before\n" + programLines(true, true, true), "", ""},
        {"debug, through a pipe", "TERVEX_DEBUG=1", " 2>&1 | cat >" + out,
         programLines(true, true, true), "", ""},
        {"log file", "TERVEX_DEBUG=1 TERVEX_LOG=" + log, " >" + out + " 2>&1",
         programLines(false, true, true), "", programLines(true, false, false)},
        {"unwritable log file", "TERVEX_LOG=" + dir.file("missing/log"), " >" + out + " 2>" + err,
         programLines(false, true, false),
         "Can't write log " + dir.file("missing/log") +
             ": No such file or directory; DebugLog goes to standard error\n" +
             programLines(true, false, true),
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::putFile(out, {'b', 'e', 'f', 'o', 'r', 'e', '\n'});
        std::remove(err.c_str());
        std::remove(log.c_str());
        const int status =
            std::system(("env -u TERVEX_DEBUG -u TERVEX_LOG SDL_VIDEODRIVER=offscreen " +
                         c.environment + " " + run + c.redirection)
                            .c_str());
        EXPECT_EQ(status, 0);
        EXPECT_EQ(fileText(out), c.expectedOut);
        if (!c.expectedErr.empty()) {
            EXPECT_EQ(fileText(err), c.expectedErr);
        }
        EXPECT_EQ(fileText(log), c.expectedLog);
    }
}

}  // namespace
}  // namespace tx
