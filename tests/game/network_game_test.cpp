// Two copies of the game executable play a round over 127.0.0.1, both flown by the computer
// pilot: one hosts, the other joins (both are started at once, so the joiner must keep asking
// until the host is up). Each must end by itself with exit code 0 after the round, and both must
// record the same round: the same two scores, one winner, and each score in its own table.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"
#include "udp_port.h"

namespace tx {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// build/tervex started in a directory of its own (with the assets), ended when left running.
class Game {
public:
    Game(const fs::path& dir, std::vector<std::string> arguments, const std::string& port)
        : dir_(dir) {
        fs::copy(fs::path(TERVEX_BIN_DIR) / "assets", dir / "assets");
        const std::string program = TERVEX_BIN_DIR "/tervex";
        arguments.insert(arguments.begin(), program);
        std::vector<std::string> environment = {"TERVEX_NET_PORT=" + port,
                                                "SDL_VIDEODRIVER=offscreen", "ALSOFT_DRIVERS=null",
                                                "TERVEX_NO_DIALOGS=1"};
        for (const char* keep : {"PATH", "HOME", "TMPDIR"})
            if (const char* value = ::getenv(keep))
                environment.push_back(std::string(keep) + "=" + value);
        std::vector<char*> argv, envp;
        for (std::string& word : arguments) argv.push_back(word.data());
        for (std::string& entry : environment) envp.push_back(entry.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        if (::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~Game() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The exit code once the process has ended within the time, else -1.
    int wait(std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }
    std::string file(const std::string& name) const { return test::fileText(dir_ / name); }

private:
    fs::path dir_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

TEST(CarriedGame, TwoPilotsPlayARoundOverTheNetwork) {
    const test::TempDir hostDir, guestDir;
    const std::string port = std::to_string(test::freeUdpPort());
    const std::vector<std::string> common = {"-autoplay", "-rounds", "1", "-lives", "1"};
    std::vector<std::string> host = {"-host", "duel", "-name", "RED"};
    std::vector<std::string> guest = {"-join", "duel", "127.0.0.1:" + port, "-name", "BLUE"};
    host.insert(host.end(), common.begin(), common.end());
    guest.insert(guest.end(), common.begin(), common.end());
    Game hosting(hostDir.path(), host, port);
    Game joining(guestDir.path(), guest, port);

    EXPECT_EQ(hosting.wait(240s), 0);
    EXPECT_EQ(joining.wait(30s), 0);

    // "DATE TIME RED 1230 vs BLUE 870: won", one line a round.
    const std::regex result(
        R"(\d\d \w{3} \d{4} \d\d:\d\d:\d\d (\w+) (\d+) vs (\w+) (\d+): (won|lost|draw)\r\n)");
    std::smatch red, blue;
    const std::string redText = hosting.file("results.txt"), blueText = joining.file("results.txt");
    ASSERT_TRUE(std::regex_match(redText, red, result)) << redText;
    ASSERT_TRUE(std::regex_match(blueText, blue, result)) << blueText;
    EXPECT_EQ(red[1], "RED");
    EXPECT_EQ(red[3], "BLUE");
    EXPECT_EQ(blue[1], "BLUE");
    EXPECT_EQ(blue[3], "RED");
    EXPECT_EQ(red[2], blue[4]) << "both saw the same scores";
    EXPECT_EQ(red[4], blue[2]);
    const int redScore = std::stoi(red[2]), blueScore = std::stoi(blue[2]);
    EXPECT_EQ(red[5], redScore > blueScore ? "won" : redScore < blueScore ? "lost" : "draw");
    EXPECT_EQ(blue[5], blueScore > redScore ? "won" : blueScore < redScore ? "lost" : "draw");
    // Each table holds its own pilot's score (a round that scored nothing makes no entry).
    EXPECT_EQ(hosting.file("hiscores.txt").find("RED\t" + red[2].str() + "\t") != std::string::npos,
              redScore > 0);
    EXPECT_EQ(
        joining.file("hiscores.txt").find("BLUE\t" + blue[2].str() + "\t") != std::string::npos,
        blueScore > 0);
}

}  // namespace
}  // namespace tx
