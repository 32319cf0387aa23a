// Three copies of a compiled game, each a txrun process of its own, play one game over
// 127.0.0.1: the host greets two clients and quits, gracefully or killed without a goodbye; the
// clients agree that the first to join is the new host (it alone hears so, once) and go on
// exchanging messages. The programs check the game themselves; see netgame.c.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"
#include "udp_port.h"

extern char** environ;

namespace tx {
namespace {

using namespace std::chrono_literals;

// A txrun process running netgame.tmi in a role.
class Player {
public:
    Player(const std::string& role, const std::vector<std::string>& environment) {
        const std::string txrun = TERVEX_BIN_DIR "/tools/txrun";
        const std::string image = TERVEX_GUEST_DIR "/netgame.tmi";
        std::vector<char*> argv = {const_cast<char*>(txrun.c_str()),
                                   const_cast<char*>(image.c_str()),
                                   const_cast<char*>(role.c_str()), nullptr};
        std::vector<char*> envp;
        for (const std::string& entry : environment)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
        if (::posix_spawn(&pid_, txrun.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }
    ~Player() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool started() const { return pid_ > 0; }
    void kill() { ::kill(pid_, SIGKILL); }
    // The exit status once the process has ended within the time, else -1.
    int wait(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

bool waitForFile(const std::filesystem::path& file, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string firstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

class NetGameProcesses : public ::testing::TestWithParam<bool> {};

TEST_P(NetGameProcesses, ClientsCarryOnUnderTheFirstToJoinWhenTheHostGoes) {
    const bool killed = GetParam();
    const test::TempDir dir;
    const uint16_t port = test::freeUdpPort();
    std::vector<std::string> environment = {"TX_DIR=" + dir.path(),
                                            "TX_NET_ADDRESS=127.0.0.1:" + std::to_string(port),
                                            "TERVEX_NET_PORT=" + std::to_string(port),
                                            "SDL_VIDEODRIVER=offscreen",
                                            "ALSOFT_DRIVERS=null",
                                            "TERVEX_NO_DIALOGS=1"};
    for (const char* keep : {"PATH", "HOME", "TMPDIR"})
        if (const char* value = ::getenv(keep))
            environment.push_back(std::string(keep) + "=" + value);

    Player host("host", environment);
    ASSERT_TRUE(host.started());
    ASSERT_TRUE(waitForFile(dir / "hosting", 10s));
    Player first("first", environment);
    ASSERT_TRUE(waitForFile(dir / "first-joined", 10s));
    Player second("second", environment);
    ASSERT_TRUE(waitForFile(dir / "host-ready", 15s)) << "the host met both clients";
    if (killed)
        host.kill();
    else
        std::ofstream(dir / "host-quit") << "";

    EXPECT_EQ(first.wait(25s), 0);
    EXPECT_EQ(second.wait(25s), 0);
    EXPECT_EQ(host.wait(5s), killed ? 128 + SIGKILL : 0);
    EXPECT_EQ(firstLine(dir / "first-done"), "host");
    EXPECT_EQ(firstLine(dir / "second-done"), "peer");
}

INSTANTIATE_TEST_SUITE_P(HostEnd, NetGameProcesses, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Killed" : "Quits"; });

}  // namespace
}  // namespace tx
