// txrun's exit codes before a program runs: a usage error is 64 with the usage line on standard
// error; an image file that cannot be read says why before "Unable to run Tervex Basic module"
// and exits 255, whatever the file is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "image_file.h"
#include "tools_test_support.h"

namespace {

std::string txrun() {
    return txtest::quoted(std::filesystem::path(TERVEX_BIN_DIR) / "tools" / "txrun");
}

constexpr const char* kUsage = "usage: txrun IMAGE [ARGS...]";

TEST(TxrunExit, UsageErrorsExit64OnStandardError) {
    for (const char* arguments : {"", " --bogus", " -", " --signatures extra", " --c-header a b"}) {
        SCOPED_TRACE(arguments);
        const auto run = txtest::runCommand(txrun() + arguments);
        EXPECT_EQ(run.exitCode, 64);
        EXPECT_EQ(run.output.rfind(kUsage, 0), 0u) << run.output;
        // Nothing on standard output.
        EXPECT_EQ(txtest::runCommand("(" + txrun() + arguments + " 2>/dev/null)").output, "");
    }
    const auto help = txtest::runCommand("(" + txrun() + " --help 2>/dev/null)");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind(kUsage, 0), 0u) << help.output;
}

TEST(TxrunExit, UnreadableImagesSayWhy) {
    txtest::TempDir dir;
    // Larger than the limit by one byte, without taking the disk space.
    const auto oversized = dir / "oversized.tmi";
    txtest::writeText(oversized, "");
    std::filesystem::resize_file(oversized, tx::kMaxImageFileBytes + 1);
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {(dir / "missing.tmi").string(), "No such file or directory"},
        {dir.path(), "Is a directory"},
        {"/dev/zero", "not a regular file or a pipe"},
        {oversized.string(), "larger than the limit of 256 MiB"},
        // Reading the process's memory from address 0 fails with an I/O error.
        {"/proc/self/mem", "Input/output error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto run = txtest::runCommand(txrun() + " " + txtest::quoted(c.path));
        EXPECT_EQ(run.exitCode, 255);
        const std::string expected =
            "Can't read " + c.path + ": " + c.reason + "\nUnable to run Tervex Basic module\n";
        EXPECT_NE(run.output.find(expected), std::string::npos) << run.output;
    }
}

TEST(TxrunExit, ImagesComeThroughPipes) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "ok.c", R"(
        #include "tervex.h"
        TX_MAIN { End(); }
    )");
    const auto image = dir / "ok.tmi";
    const std::string tximage =
        txtest::quoted(std::filesystem::path(TERVEX_BIN_DIR) / "tools" / "tximage");
    ASSERT_EQ(
        txtest::runCommand(tximage + " " + txtest::quoted(object) + " -o " + txtest::quoted(image))
            .exitCode,
        0);
    const auto run =
        txtest::runCommand("cat " + txtest::quoted(image) + " | " + txrun() + " /dev/stdin");
    EXPECT_EQ(run.exitCode, 0) << run.output;
}

}  // namespace
