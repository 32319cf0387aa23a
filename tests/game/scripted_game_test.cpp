// Star Volley, the carried game, compiled from payload/ with the compiler library and run in this
// process on the offscreen display, played by SDL events that a script pushes as the game's
// DebugLog lines say where it is: start from the title with a game controller, fly with the arrows,
// the mouse and the stick while firing, lose the three ships (or give up with Escape after about a
// minute), type a name with Shift held, leave the table. The game must add the new score to the
// table it found (the table's own crash safety is score_table_test's).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <regex>
#include <thread>

#include "carried_game.h"
#include "sdl_test_events.h"
#include "test_files.h"

namespace tx {
namespace {

using namespace std::chrono_literals;

// SDL scan codes.
constexpr int kSpace = 44, kEnter = 40, kEscape = 41, kRight = 79, kLeft = 80, kShift = 225;
constexpr int kLetterA = 4;

void tap(int key) {
    test::pushSdlKey(key, true);
    test::pushSdlKey(key, false);
}

// Plays the game through its screens; gives up on a step when the run is over.
void playScript(const test::GameLog& log, const std::atomic<bool>& over) {
    const auto until = [&](const std::string& prefix, const auto& action) {
        while (!over && log.find(prefix).empty()) {
            action();
            std::this_thread::sleep_for(200ms);
        }
    };
    // A game controller plugged in while the title shows starts the game with its first button;
    // if it never does, Escape ends the program and the checks fail.
    until("title", [] {});
    test::VirtualGamepad pad;
    const auto shown = std::chrono::steady_clock::now();
    until("game 7", [&] {
        if (std::chrono::steady_clock::now() - shown > 20s) return tap(kEscape);
        if (!pad.plug()) return;
        pad.setButton(0, true);
        std::this_thread::sleep_for(100ms);
        pad.setButton(0, false);
    });

    test::pushSdlKey(kSpace, true);  // fire held all along
    const auto start = std::chrono::steady_clock::now();
    for (int step = 0; !over && log.find("game over").empty(); ++step) {
        const auto played = std::chrono::steady_clock::now() - start;
        if (played < 8s) {  // the arrows, a second to each side
            if (step % 20 == 0) {
                test::pushSdlKey(step / 20 % 2 ? kRight : kLeft, false);
                test::pushSdlKey(step / 20 % 2 ? kLeft : kRight, true);
            }
        } else if (played < 16s) {  // the mouse sweeps across with its button held
            test::pushSdlKey(kLeft, false);
            test::pushSdlKey(kRight, false);
            const int x = 320 + static_cast<int>(250 * std::sin(step * 0.05));
            test::pushSdlMouseMotion(x, 400, 5, 0);
            test::pushSdlMouseButton(1, step % 40 < 30);
        } else if (played < 24s) {  // the controller's stick, a second to each side
            test::pushSdlMouseButton(1, false);
            pad.setAxis(0, step / 20 % 2 ? 32767 : -32768);
        } else if (played > 55s) {  // still alive after about a minute of play: give up
            tap(kEscape);
            std::this_thread::sleep_for(1s);
        }
        std::this_thread::sleep_for(50ms);
    }
    test::pushSdlKey(kSpace, false);
    test::pushSdlMouseButton(1, false);
    pad.setAxis(0, 0);

    until("name entry", [] {});
    std::this_thread::sleep_for(300ms);  // past the entry line's flush of the keyboard
    // Shift counts as it is when the game reads each key: it is held while the letters arrive.
    test::pushSdlKey(kShift, true);
    for (const char letter : std::string("TESTER")) {
        std::this_thread::sleep_for(50ms);
        tap(kLetterA + (letter - 'A'));
    }
    std::this_thread::sleep_for(300ms);
    test::pushSdlKey(kShift, false);
    tap(kEnter);
    until("table", [] {});
    std::this_thread::sleep_for(700ms);
    while (!over) {  // a key leaves the table, and the game ends
        tap(kSpace);
        std::this_thread::sleep_for(200ms);
    }
}

TEST(CarriedGame, PlaysAScriptedGameAndKeepsItsHighScores) {
    const txc::CompileResult compiled =
        txc::compileFile(test::kPayload / "game.tx", txc::CommandCatalog::fromRuntime());
    ASSERT_TRUE(compiled.ok()) << compiled.diagnosticsText();

    // The game finds assets/ and keeps its table in its directory.
    const test::TempDir dir;
    std::filesystem::copy(std::filesystem::path(TERVEX_BIN_DIR) / "assets", dir / "assets");
    std::ofstream(dir / "hiscores.txt", std::ios::binary)
        << test::tableFile({"VETERAN\t1000000\t9"});

    // The offscreen window never has the focus, without which SDL drops a controller's input.
    ::setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    test::GameLog log;
    std::atomic<bool> over{false};
    std::thread script(playScript, std::cref(log), std::cref(over));
    const RunOutcome outcome = test::runIn(dir.path(), compiled, "-rounds 1 -lives 3 -seed 7", log);
    over = true;
    script.join();

    EXPECT_EQ(outcome, RunOutcome::Ended);
    EXPECT_EQ(log.find("error"), "") << log.text();
    std::smatch end;
    const std::string gameOver = log.find("game over ");
    ASSERT_TRUE(std::regex_match(gameOver, end, std::regex("game over (\\d+) wave (\\d+)")))
        << log.text();
    EXPECT_GT(std::stoi(end[1]), 0) << "the shots hit something";
    EXPECT_EQ(log.find("game "), "game 7") << "the seed given";
    EXPECT_EQ(
        test::fileText(dir.file("hiscores.txt")),
        test::tableFile({"VETERAN\t1000000\t9", "TESTER\t" + end[1].str() + "\t" + end[2].str()}));
}

}  // namespace
}  // namespace tx
