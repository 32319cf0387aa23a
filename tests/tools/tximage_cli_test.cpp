// The tximage command: writes the image on success; on failure says why, exits non-zero and
// leaves no image behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "module_image_builder.h"
#include "tools_test_support.h"

namespace {

std::string tximage() {
    return txtest::quoted(std::filesystem::path(TERVEX_BIN_DIR) / "tools" / "tximage");
}

TEST(TximageCommand, WritesTheImage) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "ok.c", R"(
        #include "tervex.h"
        TX_MAIN { Delay(MilliSecs()); End(); }
    )");
    const auto image = dir / "ok.tmi";
    const auto run = txtest::runCommand(tximage() + " " + txtest::quoted(object) + " -o " +
                                        txtest::quoted(image));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(txtest::readBytes(image), tximage::buildModuleImage(txtest::readBytes(object)));
}

TEST(TximageCommand, FailureLeavesNoImage) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "bad.c", "int main(void) { return 0; }\n");
    const auto image = dir / "bad.tmi";
    txtest::writeText(image, "stale image from an earlier build");
    const auto run = txtest::runCommand(tximage() + " " + txtest::quoted(object) + " -o " +
                                        txtest::quoted(image));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no global __MAIN"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(image));

    const auto missing = txtest::runCommand(tximage() + " " + txtest::quoted(dir / "missing.o") +
                                            " -o " + txtest::quoted(image));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("cannot open"), std::string::npos) << missing.output;
    EXPECT_FALSE(std::filesystem::exists(image));

    // Nothing else is left in the directory: no temporary file either.
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "")) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 2u);  // bad.c and bad.o
}

TEST(TximageCommand, UsageErrors) {
    txtest::TempDir dir;
    EXPECT_EQ(txtest::runCommand(tximage()).exitCode, 2);
    EXPECT_EQ(txtest::runCommand(tximage() + " in.o").exitCode, 2);
    EXPECT_EQ(txtest::runCommand(tximage() + " -o out.tmi").exitCode, 2);
    EXPECT_EQ(txtest::runCommand(tximage() + " a.o b.o -o out.tmi").exitCode, 2);
    const auto help = txtest::runCommand(tximage() + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("usage: tximage INPUT.o -o OUTPUT.tmi"), std::string::npos);
}

}  // namespace
