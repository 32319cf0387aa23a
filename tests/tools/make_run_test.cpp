// `make run` builds the game and what it needs, nothing of the tests or benchmarks: the build
// step it runs names the `tervex` target, and that target's commands produce nothing under the
// test, guest-program or benchmark output directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>

#include "tools_test_support.h"

namespace {

const std::filesystem::path kSourceDir = std::filesystem::path(TERVEX_TEST_DATA) / ".." / "..";
const std::filesystem::path kBuildDir = TERVEX_BIN_DIR;

TEST(MakeRun, BuildsOnlyTheGame) {
    if (!std::filesystem::exists(kBuildDir / "build.ninja")) GTEST_SKIP() << "not a Ninja build";
    const auto plan = txtest::runCommand("make -n -C " + txtest::quoted(kSourceDir) +
                                         " run BUILD=" + txtest::quoted(kBuildDir));
    ASSERT_EQ(plan.exitCode, 0) << plan.output;
    std::istringstream lines(plan.output);
    std::string line, buildStep;
    bool runsTheGame = false;
    while (std::getline(lines, line)) {
        if (line.rfind("cmake --build", 0) == 0) buildStep = line;
        if (line.find((kBuildDir / "tervex").string()) == 0) runsTheGame = true;
    }
    EXPECT_NE(buildStep.find("--target tervex"), std::string::npos) << plan.output;
    EXPECT_TRUE(runsTheGame) << plan.output;

    const auto commands =
        txtest::runCommand("ninja -C " + txtest::quoted(kBuildDir) + " -t commands tervex");
    ASSERT_EQ(commands.exitCode, 0) << commands.output;
    const std::regex testOutput(R"((^|\s)-o\s+(\S*/)?(tests|bench|guest)/)");
    std::istringstream steps(commands.output);
    int count = 0;
    while (std::getline(steps, line)) {
        ++count;
        EXPECT_FALSE(std::regex_search(line, testOutput)) << line;
    }
    EXPECT_GT(count, 0);
    EXPECT_NE(commands.output.find("-o tervex"), std::string::npos) << "the game is linked";
}

}  // namespace
