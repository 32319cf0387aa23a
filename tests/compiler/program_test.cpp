// Whole programs: every part of a small game parsed together, and declarations gathered across
// included files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ast_dump.h"
#include "frontend.h"
#include "test_files.h"

namespace tx::txc {
namespace {

constexpr const char* kGame = R"(; A small game: the player collects coins until the time runs out.
Include "lib.tx"
Const SPEED# = 2.5, COINS = 5
Global player.Actor, score, best$ = "none"
Dim board(COINS, 2)

Graphics 640, 480, 32, 2
SetBuffer BackBuffer()
Restore coins
For i = 0 To COINS - 1
  Read board(i, 0), board(i, 1)
  c.Actor = spawn(board(i, 0), board(i, 1))
Next
player = spawn(320, 240) : player\kind = 1

Repeat
  Cls
  moveBy player, KeyDown(205) - KeyDown(203), SPEED# * (KeyDown(208) - KeyDown(200))
  For a.Actor = Each Actor
    If a <> player And near(a, player) Then score = score + 1 : Delete a
  Next
  Select score
  Case COINS
    Gosub won
  Default
    Text 0, 0, "Score: " + score
  End Select
  Flip
Until KeyHit(1) Or score >= COINS
End

.won
best$ = Str score + " coins"
Return

.coins
Data 10, 20, 30, 40, -50, 60, $70, %1000, 90, 100
)";

constexpr const char* kLib = R"(Type Actor
  Field x#, y#, kind
  Field trail#[8]
End Type

Function spawn.Actor(x#, y# = 0.0)
  a.Actor = New Actor
  a\x = x : a\y = y
  Insert a Before First Actor
  Return a
End Function

Function moveBy(a.Actor, dx#, dy#)
  a\x = a\x + dx : a\y = a\y + dy
  Local k
  For k = 7 To 1 Step -1
    a\trail[k] = a\trail[k - 1]
  Next
  a\trail[0] = a\x
End Function

Function near%(a.Actor, b.Actor)
  Return (a\x - b\x) ^ 2 + (a\y - b\y) ^ 2 < 16 * 16
End Function
)";

constexpr const char* kTree =
    R"((type Actor (x#) (y#) (kind) (trail# [8]))
(function spawn.Actor ((x#) (y# 0.0)) ((assign a.Actor (new Actor)) (assign (field a x) x) (assign (field a y) y) (insert a before (first Actor)) (return a)))
(function moveBy ((a.Actor) (dx#) (dy#)) ((assign (field a x) (+ (field a x) dx)) (assign (field a y) (+ (field a y) dy)) (local (k)) (for k 7 1 step -1 ((assign (index (field a trail) k) (index (field a trail) (- k 1))))) (assign (index (field a trail) 0) (field a x))))
(function near% ((a.Actor) (b.Actor)) ((return (< (+ (^ (- (field a x) (field b x)) 2) (^ (- (field a y) (field b y)) 2)) (* 16 16)))))
(const (SPEED# 2.5) (COINS 5))
(global (player.Actor) (score) (best$ "none"))
(dim (board COINS 2))
(do Graphics 640 480 32 2)
(do SetBuffer (call BackBuffer))
(restore coins)
(for i 0 (- COINS 1) ((read (call board i 0) (call board i 1)) (assign c.Actor (call spawn (call board i 0) (call board i 1)))))
(assign player (call spawn 320 240))
(assign (field player kind) 1)
(repeat ((do Cls) (do moveBy player (- (call KeyDown 205) (call KeyDown 203)) (* SPEED# (- (call KeyDown 208) (call KeyDown 200)))) (foreach a.Actor Actor ((if (and (<> a player) (call near a player)) ((assign score (+ score 1)) (delete a))))) (select score (case COINS ((gosub won))) (default ((do Text 0 0 (+ "Score: " score))))) (do Flip)) until (or (call KeyHit 1) (>= score COINS)))
(end)
(label won)
(assign best$ (+ (str score) " coins"))
(return)
(label coins)
(data 10 20 30 40 -50 60 112 8 90 100)
)";

void write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CompilerProgram, SmallGameParsesToItsTree) {
    test::TempDir dir;
    write(dir / "game.tx", kGame);
    write(dir / "lib.tx", kLib);
    const FrontEndResult result = parseProgram(dir / "game.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    EXPECT_EQ(dumpProgram(result.program), kTree);

    const Declarations& d = result.program.declarations;
    EXPECT_EQ(d.functions.size(), 3u);
    ASSERT_NE(d.findFunction("SPAWN"), nullptr);
    EXPECT_EQ(d.findFunction("spawn")->pos.file, 1u);
    EXPECT_EQ(d.findFunction("spawn")->pos.line, 6u);
    EXPECT_EQ(d.globals.size(), 3u);
    EXPECT_EQ(d.consts.size(), 2u);
    EXPECT_EQ(d.data.size(), 10u);
    const LabelInfo* coins = d.findLabel("Coins", nullptr);
    ASSERT_NE(coins, nullptr);
    EXPECT_EQ(coins->dataIndex, 0u);
    EXPECT_EQ(coins->pos.line, 36u);
    EXPECT_EQ(d.findLabel("won", d.findFunction("near")), nullptr);
}

// Data values and labels are counted in the order of the expanded program, included files in
// the place of their Include.
TEST(CompilerProgram, DataOrderFollowsIncludes) {
    test::TempDir dir;
    write(dir / "main.tx", "Data 1\nInclude \"more.tx\"\n.later\nData 4\n");
    write(dir / "more.tx",
          "Data 2\n.inside\nData 3\nFunction f()\n .inner\n Data 99\nEnd Function\n");
    const FrontEndResult result = parseProgram(dir / "main.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    const Declarations& d = result.program.declarations;
    std::string values;
    for (const Expr* value : d.data) values += dumpExpr(value) + " ";
    EXPECT_EQ(values, "1 2 3 99 4 ");
    ASSERT_NE(d.findLabel("inside", nullptr), nullptr);
    EXPECT_EQ(d.findLabel("inside", nullptr)->dataIndex, 2u);
    EXPECT_EQ(d.findLabel("inside", nullptr)->pos.file, 1u);
    EXPECT_EQ(d.findLabel("later", nullptr)->dataIndex, 4u);
    ASSERT_NE(d.findLabel("inner", d.findFunction("f")), nullptr);
    EXPECT_EQ(d.findLabel("inner", d.findFunction("f"))->dataIndex, 3u);
    EXPECT_EQ(d.findLabel("inner", nullptr), nullptr);
}

}  // namespace
}  // namespace tx::txc
