// Three copies of a compiled game, each a txrun process of its own, play one game over
// 127.0.0.1: the host greets two clients and quits, gracefully or killed without a goodbye; the
// clients agree that the first to join is the new host (it alone hears so, once) and go on
// exchanging messages. The programs check the game themselves; see netgame.c.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "test_files.h"
#include "udp_port.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

class NetGameProcesses : public ::testing::TestWithParam<bool> {};

TEST_P(NetGameProcesses, ClientsCarryOnUnderTheFirstToJoinWhenTheHostGoes) {
    const bool killed = GetParam();
    const test::TempDir dir;
    const std::string port = std::to_string(test::freeUdpPort());
    const auto environment =
        test::gameEnvironment({"TX_DIR=" + dir.path(), "TX_NET_ADDRESS=127.0.0.1:" + port,
                               "TERVEX_NET_PORT=" + port, "SDL_VIDEODRIVER=offscreen"});
    const auto player = [&](const char* role) {
        return std::make_unique<test::ChildProcess>(
            std::vector<std::string>{TERVEX_BIN_DIR "/tools/txrun", TERVEX_GUEST_DIR "/netgame.tmi",
                                     role},
            environment);
    };
    const auto written = [&](const char* file, std::chrono::milliseconds limit) {
        return test::waitUntil([&] { return std::filesystem::exists(dir / file); }, limit);
    };

    const auto host = player("host");
    ASSERT_TRUE(host->started());
    ASSERT_TRUE(written("hosting", 10s));
    const auto first = player("first");
    ASSERT_TRUE(written("first-joined", 10s));
    const auto second = player("second");
    ASSERT_TRUE(written("host-ready", 15s)) << "the host met both clients";
    if (killed)
        host->kill();
    else
        std::ofstream(dir / "host-quit") << "";

    EXPECT_EQ(first->wait(25s), 0);
    EXPECT_EQ(second->wait(25s), 0);
    EXPECT_EQ(host->wait(5s), killed ? 128 + SIGKILL : 0);
    EXPECT_EQ(test::fileText(dir.file("first-done")), "host\r\n");
    EXPECT_EQ(test::fileText(dir.file("second-done")), "peer\r\n");
}

INSTANTIATE_TEST_SUITE_P(HostEnd, NetGameProcesses, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Killed" : "Quits"; });

}  // namespace
}  // namespace tx
