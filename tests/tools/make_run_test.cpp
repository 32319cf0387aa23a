// `make run` builds the game and what it needs, nothing of the tests or benchmarks: the build
// step it runs names the `tervex` target, the game starts in the build directory (where its
// assets are), and that target's commands produce nothing under the test, guest-program or
// benchmark output directories.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "tools_test_support.h"

namespace {

const std::filesystem::path kSourceDir = std::filesystem::path(TERVEX_TEST_DATA) / ".." / "..";
const std::filesystem::path kBuildDir = TERVEX_BIN_DIR;

// Whether a build command writes an output ("-o PATH") under the tests', guest programs' or
// benchmarks' build directories.
bool writesTestOutput(const std::string& command) {
    const std::string buildPrefix = kBuildDir.string() + "/";
    std::istringstream words(command);
    std::string word, output;
    while (words >> word) {
        if (word != "-o" || !(words >> output)) continue;
        if (output.rfind(buildPrefix, 0) == 0) output.erase(0, buildPrefix.size());
        for (const char* dir : {"tests/", "bench/", "guest/"}) {
            if (output.rfind(dir, 0) == 0) return true;
        }
    }
    return false;
}

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
        if (line.rfind("cd " + kBuildDir.string() + " && ./tervex", 0) == 0) runsTheGame = true;
    }
    EXPECT_NE(buildStep.find("--target tervex"), std::string::npos) << plan.output;
    EXPECT_TRUE(runsTheGame) << plan.output;

    // How many of the commands that build `target` (everything, when empty) write test outputs.
    const auto testSteps = [](const std::string& target) {
        const auto commands =
            txtest::runCommand("ninja -C " + txtest::quoted(kBuildDir) + " -t commands " + target);
        EXPECT_EQ(commands.exitCode, 0) << commands.output;
        EXPECT_NE(commands.output.find("-o tervex"), std::string::npos) << "the game is linked";
        std::istringstream steps(commands.output);
        int count = 0;
        for (std::string step; std::getline(steps, step);) count += writesTestOutput(step) ? 1 : 0;
        return count;
    };
    EXPECT_EQ(testSteps("tervex"), 0);
    EXPECT_GT(testSteps(""), 0) << "the check itself finds test outputs among all the commands";
}

}  // namespace
