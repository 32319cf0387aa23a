// Correct programs and the syntax tree each one gives.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "frontend.h"

namespace tx::txc {
namespace {

// A source and its tree: dumpProgram without its last newline.
using SyntaxCase = std::pair<const char*, const char*>;

// The tree of a program with no errors, or with some when `wrong`.
std::string treeOf(const char* source, bool wrong) {
    FrontEndResult result = parseSource(source, "snippet.tx");
    EXPECT_EQ(result.ok(), !wrong) << source << "\n" << result.diagnosticsText();
    std::string tree = dumpProgram(result.program);
    if (!tree.empty() && tree.back() == '\n') tree.pop_back();
    return tree;
}

void checkTable(const std::vector<SyntaxCase>& table, bool wrong = false) {
    for (const auto& [source, tree] : table) EXPECT_EQ(treeOf(source, wrong), tree) << source;
}

TEST(CompilerSyntax, PrecedenceAndAssociativity) {
    checkTable({
        {"x = 8 / 4 / 2", "(assign x (/ (/ 8 4) 2))"},
        {"x = 2 ^ 3 ^ 2", "(assign x (^ (^ 2 3) 2))"},
        {"x = -2 ^ 2", "(assign x (neg (^ 2 2)))"},
        {"x = -y * 2", "(assign x (* (neg y) 2))"},
        {"x = ~a And b", "(assign x (and (~ a) b))"},
        {"x = a Shr 1 Sar 2", "(assign x (sar (shr a 1) 2))"},
        {"x = a + b = c * d", "(assign x (= (+ a b) (* c d)))"},
        {"x = a < b <> c >= d", "(assign x (>= (<> (< a b) c) d))"},
        {"x = Not a And b", "(assign x (and (not a) b))"},
        {"x = a Or b And c Xor d", "(assign x (xor (and (or a b) c) d))"},
        {"x = Not Not a", "(assign x (not (not a)))"},
        {"x = - - 5", "(assign x (neg -5))"},
        {"x = $FF + %1010 + $FFFFFFFF", "(assign x (+ (+ 255 10) -1))"},
        {"x = 1e-999 + 0.0000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "00000000000000000000000000000000000000000000000000000000000000000000000000000001",
         "(assign x (+ 0.0 0.0))"},
        {"s$ = \"a;b\" + Str x + Str(1)", "(assign s$ (+ (+ \"a;b\" (str x)) (str 1)))"},
        {"x = Int f# * 2 + Float(3)", "(assign x (+ (* (int f#) 2) (float 3)))"},
        {"x = Int -f#", "(assign x (int (neg f#)))"},
    });
}

// Objects, calls, elements, and call statements, some with a first argument in parentheses.
TEST(CompilerSyntax, ObjectsCallsAndElements) {
    checkTable({
        {"p = After p : q = Before p\\nxt",
         "(assign p (after p))\n(assign q (before (field p nxt)))"},
        {"x = a(1, 2) + f() + v[i + 1]",
         "(assign x (+ (+ (call a 1 2) (call f)) (index v (+ i 1))))"},
        {"x = p\\v[2]\\y", "(assign x (field (index (field p v) 2) y))"},
        {"If p = Null Then End", "(if (= p null) ((end)))"},
        {"a(i, j) = 1 : o\\f = 2 : v[3] = 4 : a(1)\\f[2] = 5",
         "(assign (call a i j) 1)\n(assign (field o f) 2)\n(assign (index v 3) 4)\n"
         "(assign (index (field (call a 1) f) 2) 5)"},
        {"Graphics 640, 480", "(do Graphics 640 480)"},
        {"Graphics(640, 480)", "(do Graphics 640 480)"},
        {"Cls", "(do Cls)"},
        {"Flip()", "(do Flip)"},
        {"Print (p)\\x + 1, 2", "(do Print (+ (field p x) 1) 2)"},
        {"Move -5, 3", "(do Move -5 3)"},
        {"Print$ \"x\"", "(do Print$ \"x\")"},
        {"WaitKey : End", "(do WaitKey)\n(end)"},
    });
}

// The shapes the conformance programs cannot tell apart by running: where an Else binds, an
// empty ElseIf, a Step that is a signed constant, an empty Case; a loop closed by Forever.
TEST(CompilerSyntax, ConditionalsAndLoops) {
    checkTable({
        {"If a Then If b Then c Else d", "(if a ((if b ((do c)) else ((do d)))))"},
        {"If a Then\n b\nElseIf c Then\n d\nElseIf e\nElse\n f\nEndIf",
         "(if a ((do b)) elseif c ((do d)) elseif e () else ((do f)))"},
        {"Repeat : Exit : Forever", "(repeat ((exit)) forever)"},
        {"For i = 0 To 9 Step -N : Next", "(for i 0 9 step (neg N) ())"},
        {"While 1\n For i = 1 To 2\n  If i Then Exit\n Next\nWend",
         "(while 1 ((for i 1 2 ((if i ((exit)))))))"},
        {"Select k\nCase 1, 2\n a\nCase 3\nDefault\n b\nEnd Select",
         "(select k (case 1 2 ((do a))) (case 3 ()) (default ((do b))))"},
    });
}

// With comments, blank lines, empty statements and keywords in any case.
TEST(CompilerSyntax, StatementsAndDeclarations) {
    checkTable({
        {"Data 1, -2, 3.5, \"x\", N\nRead a, b$, c(1), o\\f\nRestore\nRestore start",
         "(data 1 -2 3.5 \"x\" N)\n(read a b$ (call c 1) (field o f))\n(restore)\n(restore start)"},
        {"Dim a(10), grid#(w, h)", "(dim (a 10) (grid# w h))"},
        {"Type T\n Field v[8]\nEnd Type", "(type T (v [8]))"},
        {"Global a, b# = 1.5, c$[4], p.Point = Null",
         "(global (a) (b# 1.5) (c$ [4]) (p.Point null))"},
        {"Local v[10], n% = 3", "(local (v [10]) (n% 3))"},
        {"Const A = 1, B$ = \"x\"", "(const (A 1) (B$ \"x\"))"},
        {"Delete Each Point : Stop", "(delete-each Point)\n(stop)"},
        {"; a comment\n\nx = 1 ; another\r\n: : y = 2", "(assign x 1)\n(assign y 2)"},
        {"IF A THEN\nend if : WHILE x : wEnD", "(if A ())\n(while x ())"},
        {"x=\"\xE9\xFF\"", "(assign x \"\xE9\xFF\")"},
    });
}

// After an error the parser goes on with the next statement; a block whose first line is wrong
// keeps its body, and a wrong one-line If loses its line only.
TEST(CompilerSyntax, RecoveryKeepsTheRest) {
    checkTable(
        {
            {"x = )\ny = 1", "(assign y 1)"},
            {"While (\n z = 2\nWend\nw = 3", "(while <error> ((assign z 2)))\n(assign w 3)"},
            {"If a Then b = : c = 1\nd = 2", "(assign d 2)"},
            {"If (\n e = 1\nElse\n f = 2\nEndIf",
             "(if <error> ((assign e 1)) else ((assign f 2)))"},
            {"a = 1 : b = ) : c = 3", "(assign a 1)\n(assign c 3)"},
            {"For i = 1 To\n g = 1\nNext\nh = 2", "(for i 1 <error> ((assign g 1)))\n(assign h 2)"},
            {"Function f(\n Return 1\nEnd Function\nk = 1",
             "(function f () ((return 1)))\n(assign k 1)"},
            {"Type T\n Field 3\n Field y\nEnd Type", "(type T (y))"},
            {"Select\nCase 1\n m = 1\nEnd Select", "(select <error> (case 1 ((assign m 1))))"},
        },
        true);
}

}  // namespace
}  // namespace tx::txc
