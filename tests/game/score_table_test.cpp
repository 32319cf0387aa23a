// The game's high-score table (payload/scores.tx) survives a crash at any point of a save: a
// small program that includes it loads the table from the files a crash could leave, writes what
// it loaded, and saves a new score. The loader must take hiscores.txt when it is whole and
// hiscores.new otherwise, finishing the interrupted replacement, and a save must leave one whole
// hiscores.txt and no hiscores.new.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "carried_game.h"
#include "test_files.h"

namespace tx {
namespace {

using test::tableFile;

// Loads the table, writes it to loaded.txt, then saves it with a new score of 500.
std::string driverSource() {
    return "Global fontBig, fontText, frameCount\n"
           "Function UseFont(font)\n"
           "End Function\n"
           "Include \"" +
           (test::kPayload / "scores.tx").string() +
           "\"\n"
           "LoadScores()\n"
           "out = WriteFile(\"loaded.txt\")\n"
           "For i = 0 To hsCount - 1\n"
           "    WriteLine out, hsName(i) + \" \" + hsScore(i) + \" \" + hsWave(i)\n"
           "Next\n"
           "CloseFile out\n"
           "InsertScore TablePlace(500), \"NEW\", 500, 2\n"
           "If Not SaveScores() Then RuntimeError \"not saved\"\n";
}

TEST(CarriedGame, HighScoresSurviveACrashAtAnyPointOfASave) {
    const txc::CompileResult compiled =
        txc::compileSource(driverSource(), "driver.tx", txc::CommandCatalog::fromRuntime());
    ASSERT_TRUE(compiled.ok()) << compiled.diagnosticsText();

    const std::string ace = tableFile({"ACE\t900\t4", "BEE\t100\t1"});
    const std::string cat = tableFile({"CAT\t700\t3"});
    const std::string checkSumWrong = tableFile({"ACE\t901\t4", "BEE\t100\t1"});
    const std::string checkSumFixed =
        checkSumWrong.substr(0, checkSumWrong.find("END")) + ace.substr(ace.find("END"));
    using Lines = std::vector<std::string>;
    const Lines aceSaved = {"ACE\t900\t4", "NEW\t500\t2", "BEE\t100\t1"};
    const Lines catSaved = {"CAT\t700\t3", "NEW\t500\t2"}, newSaved = {"NEW\t500\t2"};
    const struct {
        const char* what;
        std::optional<std::string> table, newTable;  // the files before; nullopt: none
        std::string loaded;                          // what the game takes
        Lines saved;                                 // the table after the save
    } cases[] = {
        {"no table yet", std::nullopt, std::nullopt, "", newSaved},
        {"a whole table", ace, std::nullopt, "ACE 900 4\nBEE 100 1\n", aceSaved},
        {"cut short while writing the new table", ace, cat.substr(0, cat.size() - 9),
         "ACE 900 4\nBEE 100 1\n", aceSaved},
        {"stopped before the copy", ace, cat, "ACE 900 4\nBEE 100 1\n", aceSaved},
        {"the old table cut short", ace.substr(0, 40), cat, "CAT 700 3\n", catSaved},
        {"the old table gone", std::nullopt, cat, "CAT 700 3\n", catSaved},
        {"a changed score", checkSumFixed, std::nullopt, "", newSaved},
        {"no END line", ace.substr(0, ace.find("END")), std::nullopt, "", newSaved},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const test::TempDir dir;
        if (c.table) std::ofstream(dir / "hiscores.txt", std::ios::binary) << *c.table;
        if (c.newTable) std::ofstream(dir / "hiscores.new", std::ios::binary) << *c.newTable;
        test::GameLog log;
        EXPECT_EQ(test::runIn(dir.path(), compiled, "", log), RunOutcome::Ended) << log.text();
        std::string loaded = test::fileText(dir.file("loaded.txt"));
        std::erase(loaded, '\r');
        EXPECT_EQ(loaded, c.loaded);
        // The save puts the new score in its place and leaves one whole table.
        EXPECT_EQ(test::fileText(dir.file("hiscores.txt")), tableFile(c.saved));
        EXPECT_FALSE(std::filesystem::exists(dir / "hiscores.new"));
    }
}

}  // namespace
}  // namespace tx
