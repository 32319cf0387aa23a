// Every program in programs/: compiled, run, and held to the DebugLog lines, runtime error and
// RuntimeStats counts written in its own comments (see program_runner.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "program_runner.h"

namespace tx {
namespace {

std::vector<std::string> programNames() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(TERVEX_COMPILER_PROGRAMS "/programs"))
        if (entry.path().extension() == ".tx") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Conformance : public ::testing::TestWithParam<std::string> {};

std::filesystem::path pathOf(const std::string& name) {
    return TERVEX_COMPILER_PROGRAMS "/programs/" + name + ".tx";
}

TEST_P(Conformance, LogsWhatItsCommentsSay) {
    test::checkProgram(pathOf(GetParam()), false);
}

// Checks and statement hooks change nothing else: the same lines, the same counts, the same error
// (named with its place). Programs that show what happens without checks are left out.
TEST_P(Conformance, SameInADebugBuild) {
    if (GetParam().ends_with("_unchecked")) GTEST_SKIP() << "shows a run without checks";
    test::checkProgram(pathOf(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(Programs, Conformance, ::testing::ValuesIn(programNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tx
