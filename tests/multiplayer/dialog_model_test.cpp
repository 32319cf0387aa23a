// The connection dialog's state machine over a fake network: what opening, choosing TCP/IP,
// the searches every second, creating, joining and each failure leave it showing.
#include <gtest/gtest.h>

#include "connection_dialog_model.h"
#include "fake_network.h"

namespace tx::net {
namespace {

using Control = ConnectionDialogModel::Control;
using test::game;

class DialogModelTest : public ::testing::Test {
protected:
    void SetUp() override { model.open(); }
    // TCP/IP at an address, confirmed at a time.
    void connect(std::string_view address, uint32_t now = 0) {
        model.chooseConnection(ConnectionDialogModel::kTcpIp);
        ASSERT_TRUE(model.addressWanted());
        model.address().set(address);
        model.confirmAddress(now);
    }
    // Whether the model is as it was opened: no connection, nothing usable but the list of
    // connections and Cancel.
    void expectReset() const {
        EXPECT_EQ(model.selectedConnection(), ConnectionDialogModel::kNoConnection);
        EXPECT_FALSE(model.connected() || model.refreshing() || model.addressWanted());
        for (const Control c : {Control::Connections, Control::Cancel})
            EXPECT_TRUE(model.enabled(c));
        for (const Control c : {Control::Games, Control::Name, Control::Create})
            EXPECT_FALSE(model.enabled(c));
        EXPECT_TRUE(model.name().text().empty());
        EXPECT_TRUE(model.gameEntries().empty());
    }
    void expectMessage(std::string_view text, std::string_view caption) const {
        ASSERT_TRUE(model.message().has_value());
        EXPECT_EQ(model.message()->text, text);
        EXPECT_EQ(model.message()->caption, caption);
    }

    test::FakeNetwork network;
    SessionService service = network.service();
    ConnectionDialogModel model{service};
};

TEST_F(DialogModelTest, TcpIpListsTheGamesAtTheAddressGivenOrSaysThereAreNone) {
    EXPECT_EQ(model.connections(), (std::vector<std::string>{"<no connection>", "TCP/IP"}));
    expectReset();
    EXPECT_FALSE(model.result().has_value() || model.message().has_value());
    network.games = {game("alpha", 1), game("beta", 2)};
    connect("192.168.1.20");
    EXPECT_EQ(network.searched, std::vector<std::string>{"192.168.1.20"});
    EXPECT_EQ(model.gameEntries(), (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_TRUE(model.enabled(Control::Games) && model.enabled(Control::Name) &&
                model.enabled(Control::Create) && model.refreshing());

    model.open();
    network.games.clear();
    connect("");
    EXPECT_EQ(network.searched.back(), "") << "the local network";
    EXPECT_EQ(model.gameEntries(), std::vector<std::string>{"<no games found>"});
    EXPECT_FALSE(model.enabled(Control::Games));
    EXPECT_TRUE(model.enabled(Control::Name) && model.enabled(Control::Create) &&
                model.refreshing());
    model.clickGame(0, 0);
    model.clickGame(0, 1);
    EXPECT_TRUE(network.joined.empty()) << "<no games found> is no game";
    // Not giving an address, or choosing no connection, resets.
    model.chooseConnection(ConnectionDialogModel::kTcpIp);
    model.cancelAddress();
    expectReset();
    connect("");
    model.chooseConnection(ConnectionDialogModel::kNoConnection);
    expectReset();
}

TEST_F(DialogModelTest, TheGamesAreFoundAgainEverySecondAndTheSelectionFollowsItsGame) {
    network.games = {game("alpha", 1), game("beta", 2)};
    connect("", 100);
    model.clickGame(1, 200);
    model.tick(1099);
    EXPECT_EQ(network.searched.size(), 1u);
    network.games = {game("gamma", 3), game("beta", 2)};
    model.tick(1100);
    EXPECT_EQ(network.searched.size(), 2u);
    EXPECT_EQ(model.gameEntries(), (std::vector<std::string>{"gamma", "beta"}));
    EXPECT_EQ(model.selectedGame(), 1) << "beta, still selected";
    EXPECT_EQ(model.games()[1].name, "beta");

    // Not while a message is shown; a failed search says so and resets.
    model.create();
    model.tick(2100);
    EXPECT_EQ(network.searched.size(), 2u);
    model.dismissMessage();
    network.findFails = true;
    model.tick(2100);
    expectMessage("Unable to enumerate sessions", "DirPlay Error");
    expectReset();
}

TEST_F(DialogModelTest, EachFailureShowsItsMessageAndTheDialogStaysUntilCreatingWorks) {
    network.games = {game("alpha", 1)};
    connect("");
    model.create();
    expectMessage("Please enter a name for the new game", "DirectPlay Request");
    EXPECT_TRUE(model.message()->information);
    EXPECT_TRUE(network.hosted.empty());
    model.dismissMessage();

    network.hostFails = true;
    for (const char c : std::string("arena")) model.name().apply(static_cast<uint8_t>(c));
    model.create();
    expectMessage("Unable to create new game", "DirPlay Error");
    model.dismissMessage();

    network.joinFails = true;
    model.clickGame(0, 0);
    model.clickGame(0, 10);
    expectMessage("Unable to join game", "DirPlay Error");
    EXPECT_FALSE(model.result().has_value());
    EXPECT_TRUE(model.connected()) << "the dialog stays after each of these";
    EXPECT_EQ(model.name().text(), "arena");
    model.dismissMessage();

    // Once hosting works, Create ends with two under the name typed.
    network.hostFails = false;
    model.create();
    EXPECT_EQ(model.result(), ConnectionDialogModel::kCreated);
    EXPECT_EQ(network.hosted, (std::vector<std::string>{"arena", "arena"}));
    EXPECT_FALSE(model.refreshing() || model.message().has_value());
}

TEST_F(DialogModelTest, TwoClicksOnOneGameWithinHalfASecondJoinIt) {
    network.games = {game("alpha", 1), game("beta", 2)};
    connect("");
    model.clickGame(0, 1000);
    model.clickGame(1, 1100);  // another game
    model.clickGame(1, 1700);  // too late after the last
    model.clickGame(5, 1800);  // no entry there: nothing
    EXPECT_TRUE(network.joined.empty());
    EXPECT_EQ(model.selectedGame(), 1);
    model.clickGame(1, 2200);
    ASSERT_EQ(network.joined.size(), 1u);
    EXPECT_EQ(network.joined[0].instance, network.games[1].instance);
    EXPECT_EQ(model.result(), ConnectionDialogModel::kJoined);
    ASSERT_TRUE(model.joinedGame().has_value());
    EXPECT_EQ(model.joinedGame()->name, "beta");
}

TEST(TextFieldTest, EditsAtTheCaretAndKeepsToItsLimit) {
    TextField field(5);
    for (const int32_t code : std::initializer_list<int32_t>{
             'a', 'b', 'c', TextField::kLeft, TextField::kBackspace, TextField::kHome, 'x',
             TextField::kDelete, TextField::kEnd, 'y', TextField::kRight, 7, 127, 'z', 'w', 'v'})
        field.apply(code);
    EXPECT_EQ(field.text(), "xcyzw") << "control codes typed nothing; v was past the limit";
    EXPECT_EQ(field.caret(), 5u);
    field.set(std::string(300, 'n'));
    EXPECT_EQ(field.text().size(), 5u);
}

}  // namespace
}  // namespace tx::net
