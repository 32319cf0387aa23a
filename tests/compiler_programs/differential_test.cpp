// The same algorithms written in Tervex Basic and in C (built by gcc -m32), run in the same
// runtime: their DebugLog lines must be equal.
#include <gtest/gtest.h>

#include <string>

#include "program_runner.h"
#include "test_files.h"

namespace tx {
namespace {

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
    ASSERT_GE(c.log.size(), 2u);
    EXPECT_TRUE(basic.errors.empty()) << basic.errors.front();
    EXPECT_EQ(basic.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(Algorithms, Differential,
                         ::testing::Values("insertion_sort", "physics", "string_building",
                                           "quicksort", "sieve"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tx
