// The connection dialog in a window (SDL's offscreen driver): clicks and keys pushed as the
// window's events at the times of a scripted clock, the picture read back from the front
// buffer, over a fake network.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "connection_dialog.h"
#include "connection_dialog_model.h"
#include "dialog_layout.h"
#include "dialog_painter.h"
#include "fake_network.h"
#include "graphics_state.h"
#include "host_runtime.h"
#include "input_state.h"
#include "sdl_test_events.h"
#include "string_pool.h"
#include "udp_port.h"

namespace tx::net {
namespace {

using Control = ConnectionDialogModel::Control;
namespace colors = dialog_colors;
constexpr int kSdlEnter = 40;
constexpr uint32_t kGiveUpMs = 60000;  // a script that never ends the dialog closes the window

// SDL's scancode of a character typed without Shift.
int scancodeOf(char c) {
    if (c >= 'a' && c <= 'z') return 4 + (c - 'a');
    if (c >= '1' && c <= '9') return 30 + (c - '1');
    if (c == '0') return 39;
    if (c == '.') return 55;
    return 44;  // space
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        stringsCreate();
        runtime = HostRuntime::open("", nullptr, 0);
        ASSERT_NE(runtime, nullptr);
        ASSERT_TRUE(openGraphicsModule(*runtime));
        ModuleState<InputState>::open(std::make_unique<InputState>(*runtime));
        hooks.now = [this] { return now; };
        hooks.pause = [this](HostRuntime& host, int32_t milliseconds) {
            now += static_cast<uint32_t>(milliseconds);
            while (!script.empty() && script.begin()->first <= now) {
                auto step = script.extract(script.begin());
                step.mapped()();
            }
            return host.idle() && now < kGiveUpMs;
        };
    }
    void TearDown() override {
        script.clear();
        ModuleState<InputState>::close();
        closeGraphicsModule();
        runtime.reset();
        stringsDestroy();
    }

    static HostCanvas& front() { return graphicsState()->graphics->frontBuffer(); }
    static HostFont* font() { return graphicsState()->graphics->defaultFont(); }
    static DialogLayout layout() {
        return DialogLayout(front().getWidth(), front().getHeight(), font());
    }
    DialogOutcome run() { return runConnectionDialog(*runtime, service, hooks); }

    void at(uint32_t time, std::function<void()> step) { script.emplace(time, std::move(step)); }
    void clickAt(uint32_t time, PixelRect target) {
        at(time, [target] {
            tx::test::pushSdlMouseMotion(target.centreX(), target.centreY(), 0, 0);
            tx::test::pushSdlMouseButton(1, true);
            tx::test::pushSdlMouseButton(1, false);
        });
    }
    void typeAt(uint32_t time, std::string_view text) {
        at(time, [text = std::string(text)] {
            for (const char c : text) {
                tx::test::pushSdlKey(c == '\n' ? kSdlEnter : scancodeOf(c), true);
                tx::test::pushSdlKey(c == '\n' ? kSdlEnter : scancodeOf(c), false);
            }
        });
    }
    // TCP/IP chosen from the drop-down and the address typed, from a time on (300 ms).
    void connectAt(uint32_t time, std::string_view address) {
        clickAt(time, layout().control(Control::Connections));
        clickAt(time + 100, layout().dropEntry(ConnectionDialogModel::kTcpIp));
        typeAt(time + 200, std::string(address) + "\n");
    }

    // Whether the text shows in the font and colour somewhere inside `area` of the front
    // buffer: each of its glyph pixels as text in that colour comes out, the other pixels of
    // its box in other colours.
    static bool shows(PixelRect area, std::string_view text, uint32_t color) {
        constexpr uint32_t kBackground = 0xFF00FF00u;
        const int32_t w = font()->stringWidth(text), h = font()->getHeight();
        auto glyphs = HostCanvas::create(w, h, front().format());
        glyphs->setClsColor(kBackground);
        glyphs->cls();
        glyphs->setFont(font());
        glyphs->setColor(color);
        glyphs->text(0, 0, text);
        uint32_t ink = kBackground;  // black text comes out near-black
        for (int32_t i = 0; ink == kBackground && i < w * h; ++i)
            ink = glyphs->getPixel(i % w, i / w);
        if (ink == kBackground) return false;
        for (int32_t y = area.y; y + h <= area.y + area.height; ++y)
            for (int32_t x = area.x; x + w <= area.x + area.width; ++x) {
                bool match = true;
                for (int32_t gy = 0; match && gy < h; ++gy)
                    for (int32_t gx = 0; match && gx < w; ++gx) {
                        const uint32_t glyph = glyphs->getPixel(gx, gy);
                        const uint32_t shown = front().getPixel(x + gx, y + gy);
                        match = (glyph == ink) == (shown == ink);
                    }
                if (match) return true;
            }
        return false;
    }

    std::unique_ptr<HostRuntime> runtime;
    test::FakeNetwork network;
    SessionService service = network.service();
    DialogHooks hooks;
    uint32_t now = 0;
    std::multimap<uint32_t, std::function<void()>> script;
};

// Cancel, the close box and closing the window each end the dialog with 0 (closing the window
// also ends the program), and the program's picture comes back.
TEST_F(DialogTest, CancelTheCloseBoxOrClosingTheWindowEndWithZeroAndThePictureComesBack) {
    for (const int way : {0, 1, 2}) {
        HostCanvas& picture = front();
        picture.setColor(0xFF123456u);
        picture.rect(0, 0, picture.getWidth(), picture.getHeight(), true);
        picture.setPixel(200, 150, 0xFFFF0000u);
        bool seen = false;
        at(now + 100, [&] {
            const DialogLayout l = layout();
            seen = shows(l.titleBar(), "Start Multiplayer Game", colors::kSelectedText) &&
                   shows(l.connectionLabel(), "Connection", colors::kText) &&
                   shows(l.gamesLabel(), "Games in progress", colors::kText) &&
                   shows(l.nameLabel(), "Name for new game", colors::kText) &&
                   shows(l.control(Control::Connections), "<no connection>", colors::kText) &&
                   shows(l.control(Control::Create), "Create new game", colors::kDisabledText) &&
                   shows(l.control(Control::Cancel), "Cancel", colors::kText) &&
                   front().getPixel(l.control(Control::Name).centreX(),
                                    l.control(Control::Name).centreY()) == colors::kFace;
        });
        if (way == 2)
            at(now + 200, [] { tx::test::pushSdlQuit(); });
        else
            clickAt(now + 200, way == 1 ? layout().closeBox() : layout().control(Control::Cancel));
        const DialogOutcome outcome = run();
        EXPECT_TRUE(seen) << way << ": the dialog as it opens";
        EXPECT_EQ(outcome.result, 0) << way;
        EXPECT_EQ(outcome.mustEnd, way == 2);
        EXPECT_EQ(front().getPixel(200, 150), 0xFFFF0000u) << "the program's picture is back";
        EXPECT_EQ(front().getPixel(layout().frame().x + 5, layout().frame().y + 5), 0xFF123456u);
    }
    EXPECT_TRUE(network.searched.empty());
    EXPECT_LT(now, kGiveUpMs);
}

// With no games found the list is greyed; Create without a name shows the message box and Enter
// dismisses it; games found later are listed; the name typed creates the game.
TEST_F(DialogTest, ANameIsAskedForThenTheGameTypedIsCreatedAndEndsWithTwo) {
    connectAt(100, "");
    bool greyed = false, asked = false, usable = false;
    at(500,
       [&] { greyed = shows(layout().listRow(0), "<no games found>", colors::kDisabledText); });
    clickAt(800, layout().control(Control::Create));
    at(900, [&] {
        const ConnectionDialogModel::Message message{"Please enter a name for the new game",
                                                     "DirectPlay Request", true};
        const OverlayBox box = messageBoxOf(layout(), font(), message);
        asked = shows(box.text, message.text, colors::kText) &&
                shows(box.caption, message.caption, colors::kSelectedText) &&
                shows(box.ok, "OK", colors::kText);
    });
    typeAt(1000, "\n");  // dismisses the message
    // Found at the next search, at 1300.
    at(1000, [this] { network.games = {test::game("alpha", 1), test::game("beta", 2)}; });
    typeAt(1600, "arena");
    at(1700, [&] {
        const DialogLayout l = layout();
        usable = shows(l.control(Control::Connections), "TCP/IP", colors::kText) &&
                 shows(l.listRow(0), "alpha", colors::kText) &&
                 shows(l.control(Control::Create), "Create new game", colors::kText) &&
                 shows(l.control(Control::Name), "arena", colors::kText);
    });
    clickAt(1800, layout().control(Control::Create));
    const DialogOutcome outcome = run();
    EXPECT_TRUE(greyed);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(usable) << "TCP/IP chosen, the games listed, the name typed and Create usable";
    EXPECT_EQ(outcome.result, 2);
    EXPECT_EQ(outcome.createdName, "arena");
}

// A game another runtime hosts on the real network, at an address typed, is listed and joined
// by a double click: the dialog ends with the joined session, in which the host's player is
// known.
TEST_F(DialogTest, AGameHostedOnTheNetworkIsListedAndJoined) {
    ::setenv("TERVEX_NET_PORT", std::to_string(tx::test::freeUdpPort()).c_str(), 1);
    std::unique_ptr<NetSession> other = NetSession::host("lan party");
    ASSERT_NE(other, nullptr);
    const int32_t player = other->createPlayer("hostess");
    service = realSessionService();
    connectAt(100, "127.0.0.1");
    bool listed = false;
    at(500, [&] { listed = shows(layout().listRow(0), "lan party", colors::kText); });
    clickAt(600, layout().listRow(0));
    clickAt(700, layout().listRow(0));
    const DialogOutcome outcome = run();
    EXPECT_TRUE(listed);
    ASSERT_EQ(outcome.result, 1);
    ASSERT_TRUE(outcome.joined.has_value());
    EXPECT_EQ(outcome.joined->name, "lan party");
    ASSERT_NE(outcome.session, nullptr);
    const auto players = outcome.session->remotePlayers();
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0].id, player);
}

}  // namespace
}  // namespace tx::net
