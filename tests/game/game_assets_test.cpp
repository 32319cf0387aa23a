// The committed assets of the carried game are exactly what scripts/make_game_assets.py makes:
// the script is deterministic, and nobody changed it without making the assets again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "test_files.h"

namespace tx {
namespace {

namespace fs = std::filesystem;

std::set<std::string> fileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}

TEST(CarriedGame, AssetsAreWhatTheScriptMakes) {
    if (std::system("python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 here";
    const fs::path source = fs::path(TERVEX_TEST_DATA) / ".." / "..";
    const test::TempDir dir;
    const std::string command =
        "python3 " + (source / "scripts" / "make_game_assets.py").string() + " " + dir.path();
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const fs::path committed = source / "payload" / "assets";
    ASSERT_EQ(fileNames(dir.path()), fileNames(committed));
    for (const std::string& name : fileNames(committed)) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(test::fileBytes(dir.file(name)) ==
                    test::fileBytes((committed / name).string()));
    }
}

}  // namespace
}  // namespace tx
