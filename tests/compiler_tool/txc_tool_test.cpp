// The txc program as a user runs it: usage errors, compile errors as file:line:column, images
// that txrun runs, --run with the program's own command line and exit code, --listing, --debug,
// and game executables that run on their own from another directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "test_files.h"

namespace {

namespace fs = std::filesystem;
using tx::test::fileText;
using tx::test::TempDir;

const std::string kTxc = TERVEX_BIN_DIR "/txc";
const std::string kTxrun = TERVEX_BIN_DIR "/tools/txrun";
const std::string kHeadless = "SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null TERVEX_NO_DIALOGS=1 ";

struct Outcome {
    int exitCode;
    std::string output;  // standard output and standard error together
};

std::string shellQuoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Runs a shell command in dir, headless.
Outcome run(const TempDir& dir, const std::string& command) {
    struct PipeCloser {
        void operator()(FILE* f) const {
            if (f != nullptr) ::pclose(f);
        }
    };
    const std::string line =
        "cd " + shellQuoted(dir.path()) + " && " + kHeadless + command + " 2>&1";
    std::unique_ptr<FILE, PipeCloser> pipe(::popen(line.c_str(), "r"));
    if (!pipe) throw std::runtime_error("cannot run: " + line);
    Outcome outcome{-1, {}};
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        outcome.output.append(buffer.data(), n);
    const int status = ::pclose(pipe.release());
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

void write(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

TEST(TxcTool, RefusesUnusableCommandLinesWithUsage) {
    TempDir dir;
    write(dir / "a.tx", "End\n");
    for (const char* arguments :
         {"", "--bogus a.tx", "a.tx b.tx", "--run", "--exe --run a.tx", "a.tx -o", "--listing",
          "-o x --run a.tx", "a.tx --run", "a.tx -o a.tx", "--help a.tx", "-o x -o y a.tx"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = run(dir, kTxc + " " + arguments);
        EXPECT_EQ(outcome.exitCode, 64) << outcome.output;
        EXPECT_TRUE(contains(outcome.output, "txc: ")) << outcome.output;
        EXPECT_TRUE(contains(outcome.output, "usage: txc")) << outcome.output;
    }
    EXPECT_EQ(fileText(dir.file("a.tx")), "End\n");  // "-o a.tx" left the source alone
    EXPECT_FALSE(fs::exists(dir / "a.tmi"));

    const Outcome help = run(dir, kTxc + " --help 2>/dev/null");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(contains(help.output, "--exe")) << help.output;
}

TEST(TxcTool, ReportsCompileErrorsByFileLineAndColumn) {
    TempDir dir;
    write(dir / "bad.tx", "x = 1\ny = (2 +\nz = 3 *\n");
    write(dir / "main.tx", "Include \"part.tx\"\nx = Cls()\n");
    write(dir / "part.tx", "a = 1\nUnknownCommand 1, 2\n");
    const struct {
        const char* arguments;
        std::vector<std::string> says;
    } cases[] = {
        {"bad.tx", {"bad.tx:2:9: ", "bad.tx:3:8: "}},
        {"--run bad.tx", {"bad.tx:2:9: "}},
        {"--exe bad.tx -o game", {"bad.tx:2:9: "}},
        // Errors of the back end: a command unknown to the runtime, one without a result.
        {"main.tx", {"part.tx:2:1: ", "main.tx:2:5: "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = run(dir, kTxc + " " + c.arguments);
        EXPECT_EQ(outcome.exitCode, 1);
        for (const std::string& part : c.says)
            EXPECT_TRUE(contains(outcome.output, part)) << part << " in\n" << outcome.output;
    }
    EXPECT_TRUE(contains(run(dir, kTxc + " main.tx").output, "Cls"));
    for (const char* notWritten : {"bad.tmi", "main.tmi", "game"})
        EXPECT_FALSE(fs::exists(dir / notWritten)) << notWritten;
}

TEST(TxcTool, WritesImagesAndListingsThatTxrunRuns) {
    TempDir dir;
    write(dir / "answer.tx",
          "Function twice(n)\n  Return n * 2\nEnd Function\n"
          "RuntimeError \"answer \" + twice(21) + \" \" + CommandLine()\n");
    const Outcome compiled = run(dir, kTxc + " answer.tx --listing answer.lst");
    ASSERT_EQ(compiled.exitCode, 0) << compiled.output;
    EXPECT_EQ(compiled.output, "");
    EXPECT_TRUE(contains(fileText(dir.file("answer.lst")), "ret"));

    const Outcome ran = run(dir, kTxrun + " answer.tmi from txrun");
    EXPECT_EQ(ran.exitCode, 1);
    EXPECT_TRUE(contains(ran.output, "Error! answer 42 from txrun")) << ran.output;

    EXPECT_EQ(run(dir, kTxc + " --debug answer.tx -o named.tmi").exitCode, 0);
    EXPECT_TRUE(contains(run(dir, kTxrun + " named.tmi").output, "Error! answer 42"));
    const Outcome unwritable = run(dir, kTxc + " answer.tx -o no/such/dir.tmi");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(contains(unwritable.output, "txc: cannot write no/such/dir.tmi"))
        << unwritable.output;
}

TEST(TxcTool, RunsTheProgramWithItsArgumentsAndExitCode) {
    TempDir dir;
    write(dir / "args.tx",
          "If CommandLine() = \"end\" Then End\n"
          "RuntimeError \"args=[\" + CommandLine() + \"]\"\n");
    write(dir / "bounds.tx", "Dim a(2)\ni = 5\na(i) = 1\nEnd\n");
    const struct {
        const char* arguments;
        int exitCode;
        const char* says;  // "" for nothing at all
    } cases[] = {
        {"--run args.tx one two", 1, "Error! args=[one two]\n"},
        {"--run args.tx \"two words\" -o --debug", 1, "Error! args=[\"two words\" -o --debug]\n"},
        {"--run args.tx", 1, "Error! args=[]\n"},
        {"--run args.tx end", 0, ""},
        {"--debug --run args.tx end", 0, ""},
        // --debug reaches the compiled code: the bounds check ends the program.
        {"--run --debug bounds.tx", 1, "Array index out of bounds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = run(dir, kTxc + " " + c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.output;
        if (*c.says == '\0') {
            EXPECT_EQ(outcome.output, "");
        } else {
            EXPECT_TRUE(contains(outcome.output, c.says)) << outcome.output;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "args.tmi"));  // --run writes no image
}

TEST(TxcTool, WritesGameExecutablesThatRunOnTheirOwn) {
    TempDir dir;
    fs::create_directories(dir / "src");
    fs::create_directories(dir / "elsewhere");
    write(dir / "src/game.tx",
          "f = WriteFile(\"out.txt\")\n"
          "WriteLine f, \"args=\" + CommandLine()\n"
          "CloseFile f\n");
    const Outcome built = run(dir, kTxc + " --exe src/game.tx");
    ASSERT_EQ(built.exitCode, 0) << built.output;
    EXPECT_EQ(built.output, "");
    EXPECT_EQ(fs::status(dir / "src/game").permissions() & fs::perms::owner_exec,
              fs::perms::owner_exec);
    fs::copy_file(dir / "src/game", dir / "elsewhere/copy");
    fs::remove(dir / "src/game");

    const Outcome ran = run(dir, "cd elsewhere && ./copy first \"second one\"");
    EXPECT_EQ(ran.exitCode, 0) << ran.output;
    EXPECT_EQ(fileText(dir.file("elsewhere/out.txt")), "args=first \"second one\"\r\n");

    // The runtime comes from TERVEX_RUNTIME when it is set, and must be there.
    const Outcome missing =
        run(dir, "TERVEX_RUNTIME=/nonexistent/tervex " + kTxc + " --exe src/game.tx -o other");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.output, "/nonexistent/tervex")) << missing.output;
    EXPECT_FALSE(fs::exists(dir / "other"));
    const Outcome given = run(
        dir, "TERVEX_RUNTIME=" TERVEX_BIN_DIR "/tervex " + kTxc + " --exe src/game.tx -o other");
    EXPECT_EQ(given.exitCode, 0) << given.output;
    EXPECT_TRUE(fs::exists(dir / "other"));
}

}  // namespace
