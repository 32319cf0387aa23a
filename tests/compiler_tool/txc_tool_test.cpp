// txc run as a process: usage errors, compile errors as file:line:column, images txrun runs,
// --run with the program's command line and exit code, --debug, and game executables that run
// on their own from another directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../tools/tools_test_support.h"

namespace {

namespace fs = std::filesystem;
using tx::test::fileText;
using txtest::runCommand;
using txtest::writeText;

// Runs a shell command, headless, in dir; $TXC is txc. Output: standard output and error.
txtest::CommandResult run(const tx::test::TempDir& dir, const std::string& command) {
    return runCommand("cd '" + dir.path() +
                      "' && export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null "
                      "TERVEX_NO_DIALOGS=1 TXC=" TERVEX_BIN_DIR "/txc && " +
                      command);
}

TEST(TxcTool, ReportsUsageErrors) {
    tx::test::TempDir dir;
    writeText(dir / "a.tx", "End\n");
    for (const char* arguments : {"", "--bogus a.tx", "a.tx b.tx", "--run", "--exe --run a.tx",
                                  "a.tx -o", "a.tx --run", "a.tx -o a.tx", "-o x -o y a.tx"}) {
        const auto outcome = run(dir, "$TXC " + std::string(arguments));
        EXPECT_EQ(outcome.exitCode, 64) << arguments;
        EXPECT_NE(outcome.output.find("usage: txc"), std::string::npos) << outcome.output;
    }
    EXPECT_EQ(fileText(dir.file("a.tx")), "End\n");
    EXPECT_FALSE(fs::exists(dir / "a.tmi"));
    EXPECT_EQ(run(dir, "$TXC --help").exitCode, 0);
}

// Compile errors as file:line:column, with nothing written; programs run by --run and by txrun
// with their command line and exit code.
TEST(TxcTool, CompilesAndRunsPrograms) {
    tx::test::TempDir dir;
    writeText(dir / "bad.tx", "x = 1\ny = (2 +\nz = 3 *\n");
    writeText(dir / "main.tx", "Include \"part.tx\"\nx = Cls()\n");  // Cls gives no value
    writeText(dir / "part.tx", "a = 1\nUnknownCommand 1, 2\n");
    writeText(dir / "args.tx",
              "If CommandLine() = \"end\" Then End\n"
              "RuntimeError \"args=[\" + CommandLine() + \"]\"\n");
    // Out of the bank's range: an error only in a debug run, named with its line by a debug build.
    writeText(dir / "bank.tx", "b = CreateBank(4)\nPokeByte b, 9, 1\n");
    const struct {
        const char* command;  // in dir
        int exitCode;
        std::vector<std::string> says;  // when empty, the output must be too
    } cases[] = {
        {"$TXC bad.tx", 1, {"bad.tx:2:9: ", "bad.tx:3:8: "}},
        {"$TXC --exe bad.tx", 1, {"bad.tx:2:9: "}},
        {"$TXC --run main.tx", 1, {"part.tx:2:1: ", "main.tx:2:5: ", "Cls"}},
        {"$TXC --run args.tx one \"two words\" -o", 1, {"Error! args=[one \"two words\" -o]\n"}},
        {"$TXC --run args.tx end", 0, {}},
        {"$TXC args.tx -o x.tmi && " TERVEX_BIN_DIR "/tools/txrun x.tmi from txrun",
         1,
         {"Error! args=[from txrun]\n"}},
        {"$TXC --run --debug bank.tx", 1, {"Error! bank.tx:2: Offset out of range"}},
    };
    for (const auto& c : cases) {
        const auto outcome = run(dir, c.command);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.command << "\n" << outcome.output;
        if (c.says.empty()) {
            EXPECT_EQ(outcome.output, "") << c.command;
        }
        for (const std::string& part : c.says)
            EXPECT_NE(outcome.output.find(part), std::string::npos) << part << " in\n"
                                                                    << outcome.output;
    }
    for (const char* unwritten : {"bad.tmi", "bad", "main.tmi"})
        EXPECT_FALSE(fs::exists(dir / unwritten)) << unwritten;
}

TEST(TxcTool, WritesGameExecutablesThatRunOnTheirOwn) {
    tx::test::TempDir dir;
    fs::create_directories(dir / "elsewhere");
    writeText(dir / "game.tx",
              "f = WriteFile(\"out.txt\")\n"
              "WriteLine f, \"args=\" + CommandLine()\n"
              "CloseFile f\n");
    const auto built = run(dir, "$TXC --exe game.tx --listing game.lst");
    ASSERT_EQ(built.exitCode, 0) << built.output;
    EXPECT_EQ(built.output, "");
    EXPECT_NE(fileText(dir.file("game.lst")).find("ret"), std::string::npos);
    fs::rename(dir / "game", dir / "elsewhere/copy");

    const auto ran = run(dir, "cd elsewhere && ./copy first \"second one\"");
    EXPECT_EQ(ran.exitCode, 0) << ran.output;
    EXPECT_EQ(fileText(dir.file("elsewhere/out.txt")), "args=first \"second one\"\r\n");

    const auto missing = run(dir, "TERVEX_RUNTIME=/no/tervex $TXC --exe game.tx");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("/no/tervex"), std::string::npos) << missing.output;
    EXPECT_FALSE(fs::exists(dir / "game"));
}

}  // namespace
