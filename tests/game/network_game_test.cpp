// Two copies of the game executable play a round over 127.0.0.1, both flown by the computer
// pilot: one hosts, the other joins (both are started at once, so the joiner must keep asking
// until the host is up). Each must end by itself with exit code 0 after the round, and both must
// record the same round: the same two scores, one winner, and each score in its own table.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "child_process.h"
#include "test_files.h"
#include "udp_port.h"

namespace tx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* outcome(int mine, int theirs) {
    return mine > theirs ? "won" : mine < theirs ? "lost" : "draw";
}

TEST(CarriedGame, TwoPilotsPlayARoundOverTheNetwork) {
    const test::TempDir hostDir, guestDir;
    const std::string port = std::to_string(test::freeUdpPort());
    // build/tervex in a directory of its own, with the assets.
    const auto play = [&](const test::TempDir& dir, std::vector<std::string> arguments) {
        fs::copy(fs::path(TERVEX_BIN_DIR) / "assets", dir / "assets");
        arguments.insert(arguments.begin(), TERVEX_BIN_DIR "/tervex");
        for (const char* common : {"-autoplay", "-rounds", "1", "-lives", "1"})
            arguments.emplace_back(common);
        return std::make_unique<test::ChildProcess>(
            arguments,
            test::gameEnvironment({"TERVEX_NET_PORT=" + port, "SDL_VIDEODRIVER=offscreen"}),
            dir.path());
    };
    const auto hosting = play(hostDir, {"-host", "duel", "-name", "RED"});
    const auto joining = play(guestDir, {"-join", "duel", "127.0.0.1:" + port, "-name", "BLUE"});
    EXPECT_EQ(hosting->wait(240s), 0);
    EXPECT_EQ(joining->wait(30s), 0);

    // "DATE TIME RED 1230 vs BLUE 870: won", one line a round.
    const std::regex result(
        R"(\d\d \w{3} \d{4} \d\d:\d\d:\d\d (\w+) (\d+) vs (\w+) (\d+): (won|lost|draw)\r\n)");
    std::smatch red, blue;
    const std::string redText = test::fileText(hostDir.file("results.txt"));
    const std::string blueText = test::fileText(guestDir.file("results.txt"));
    ASSERT_TRUE(std::regex_match(redText, red, result)) << redText;
    ASSERT_TRUE(std::regex_match(blueText, blue, result)) << blueText;
    EXPECT_EQ(red[1].str() + " " + red[3].str(), "RED BLUE");
    EXPECT_EQ(blue[1].str() + " " + blue[3].str(), "BLUE RED");
    EXPECT_EQ(red[2], blue[4]) << "both saw the same scores";
    EXPECT_EQ(red[4], blue[2]);
    const int redScore = std::stoi(red[2]), blueScore = std::stoi(blue[2]);
    EXPECT_EQ(red[5], outcome(redScore, blueScore));
    EXPECT_EQ(blue[5], outcome(blueScore, redScore));
    // Each table holds its own pilot's score (a round that scored nothing makes no entry).
    const std::string redTable = test::fileText(hostDir.file("hiscores.txt"));
    const std::string blueTable = test::fileText(guestDir.file("hiscores.txt"));
    EXPECT_EQ(redTable.find("RED\t" + red[2].str() + "\t") != std::string::npos, redScore > 0);
    EXPECT_EQ(blueTable.find("BLUE\t" + blue[2].str() + "\t") != std::string::npos, blueScore > 0);
}

}  // namespace
}  // namespace tx
