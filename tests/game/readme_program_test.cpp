// The program of the README's "Write your first game" compiles as it stands there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compile.h"
#include "test_files.h"

namespace tx {
namespace {

TEST(CarriedGame, TheReadmesFirstGameCompiles) {
    const std::string readme = test::fileText(TERVEX_TEST_DATA "/../../README.md");
    const size_t section = readme.find("## Write your first game");
    ASSERT_NE(section, std::string::npos);
    const size_t begin = readme.find("```basic\n", section);
    ASSERT_NE(begin, std::string::npos);
    const size_t end = readme.find("```", begin + 9);
    const std::string program = readme.substr(begin + 9, end - begin - 9);
    EXPECT_NE(program.find("PlaySound"), std::string::npos);
    const txc::CompileResult compiled =
        txc::compileSource(program, "first.tx", txc::CommandCatalog::fromRuntime());
    EXPECT_TRUE(compiled.ok()) << compiled.diagnosticsText();
}

}  // namespace
}  // namespace tx
