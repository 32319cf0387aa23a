// What the game carries is what it claims: the committed assets are exactly what
// scripts/make_game_assets.py makes (the script is deterministic, and nobody changed it without
// making the assets again), and the program of the README's "Write your first game" compiles as
// it stands there.
#include <gtest/gtest.h>

#include <cstdlib>

#include "carried_game.h"
#include "test_files.h"

namespace tx {
namespace {

TEST(CarriedGame, AssetsAreWhatTheScriptMakes) {
    if (std::system("python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 here";
    const test::TempDir dir;
    const std::string command =
        "python3 " + (test::kPayload / ".." / "scripts" / "make_game_assets.py").string() + " " +
        dir.path();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string compare =
        "diff -rq " + dir.path() + " " + (test::kPayload / "assets").string();
    EXPECT_EQ(std::system(compare.c_str()), 0) << "the same files, byte for byte";
}

TEST(CarriedGame, TheReadmesFirstGameCompiles) {
    const std::string readme = test::fileText((test::kPayload / ".." / "README.md").string());
    const size_t begin = readme.find("```basic\n", readme.find("## Write your first game"));
    ASSERT_NE(begin, std::string::npos);
    const std::string program = readme.substr(begin + 9, readme.find("```", begin + 9) - begin - 9);
    EXPECT_NE(program.find("PlaySound"), std::string::npos);
    const txc::CompileResult compiled =
        txc::compileSource(program, "first.tx", txc::CommandCatalog::fromRuntime());
    EXPECT_TRUE(compiled.ok()) << compiled.diagnosticsText();
}

}  // namespace
}  // namespace tx
