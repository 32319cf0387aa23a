// Every program in programs/: compiled, run, and held to the DebugLog lines, runtime error and
// RuntimeStats counts written in its own comments (see program_runner.h). The algorithms in
// differential/, written in Tervex Basic and in C (built by gcc -m32), run in the same runtime:
// their DebugLog lines must be equal.
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

class Differential : public ::testing::TestWithParam<const char*> {};

TEST_P(Differential, SameLinesAsTheCVersion) {
    const std::string name = GetParam();
    const test::ProgramRun basic =
        test::compileAndRun(TERVEX_COMPILER_PROGRAMS "/differential/" + name + ".tx", false);
    ASSERT_EQ(basic.diagnostics, "");
    ASSERT_EQ(basic.link.status, LinkResult::Status::Linked) << basic.link.message;
    const test::ProgramRun c =
        test::runImage(test::fileBytes(TERVEX_DIFFERENTIAL_DIR "/" + name + ".tmi"), false);
    ASSERT_EQ(c.link.status, LinkResult::Status::Linked) << c.link.message;
    ASSERT_TRUE(c.errors.empty()) << c.errors.front();
    ASSERT_GE(std::count(c.log.begin(), c.log.end(), '\n'), 2);
    EXPECT_TRUE(basic.errors.empty()) << basic.errors.front();
    EXPECT_EQ(basic.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(Algorithms, Differential,
                         ::testing::Values("insertion_sort", "physics", "string_building",
                                           "quicksort", "sieve"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tx
