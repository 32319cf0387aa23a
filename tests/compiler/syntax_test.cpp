// Correct programs and the syntax tree each one gives.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "frontend.h"

namespace tx::txc {
namespace {

struct SyntaxCase {
    const char* source;
    const char* tree;  // dumpProgram without its last newline
};

std::string treeOf(const char* source) {
    FrontEndResult result = parseSource(source, "snippet.tx");
    EXPECT_TRUE(result.ok()) << source << "\n" << result.diagnosticsText();
    std::string tree = dumpProgram(result.program);
    if (!tree.empty() && tree.back() == '\n') tree.pop_back();
    return tree;
}

void checkTable(const std::vector<SyntaxCase>& table) {
    for (const auto& row : table) EXPECT_EQ(treeOf(row.source), row.tree) << row.source;
}

TEST(CompilerSyntax, PrecedenceAndAssociativity) {
    checkTable({
        {"x = 1 + 2 * 3", "(assign x (+ 1 (* 2 3)))"},
        {"x = (1 + 2) * 3", "(assign x (* (+ 1 2) 3))"},
        {"x = 1 - 2 - 3", "(assign x (- (- 1 2) 3))"},
        {"x = 8 / 4 / 2", "(assign x (/ (/ 8 4) 2))"},
        {"x = 2 ^ 3 ^ 2", "(assign x (^ (^ 2 3) 2))"},
        {"x = -2 ^ 2", "(assign x (neg (^ 2 2)))"},
        {"x = 2 ^ -1", "(assign x (^ 2 -1))"},
        {"x = -y * 2", "(assign x (* (neg y) 2))"},
        {"x = ~a And b", "(assign x (and (~ a) b))"},
        {"x = a Mod 3 + b Shl 2", "(assign x (+ (mod a 3) (shl b 2)))"},
        {"x = a Shr 1 Sar 2", "(assign x (sar (shr a 1) 2))"},
        {"x = a + b = c * d", "(assign x (= (+ a b) (* c d)))"},
        {"x = a < b <> c >= d", "(assign x (>= (<> (< a b) c) d))"},
        {"x = a <= b Or c > d", "(assign x (or (<= a b) (> c d)))"},
        {"x = Not a = b", "(assign x (not (= a b)))"},
        {"x = Not a And b", "(assign x (and (not a) b))"},
        {"x = a Or b And c Xor d", "(assign x (xor (and (or a b) c) d))"},
        {"x = a And Not b", "(assign x (and a (not b)))"},
        {"x = Not Not a", "(assign x (not (not a)))"},
        {"x = - - 5", "(assign x (neg -5))"},
        {"x = -2147483648", "(assign x -2147483648)"},
        {"x = $FF + %1010 + $FFFFFFFF", "(assign x (+ (+ 255 10) -1))"},
        {"x = 1.5 + .5 + 2e3 + 1E-2", "(assign x (+ (+ (+ 1.5 0.5) 2000.0) 0.01))"},
        {"x = 1e-999 + 0.0000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "00000000000000000000000000000000000000000000000000000000000000000000000000000001",
         "(assign x (+ 0.0 0.0))"},
        {"x = True + False + Pi", "(assign x (+ (+ 1 0) 3.1415927))"},
        {"s$ = \"a;b\" + Str x + Str(1)", "(assign s$ (+ (+ \"a;b\" (str x)) (str 1)))"},
        {"x = Int f# * 2 + Float(3)", "(assign x (+ (* (int f#) 2) (float 3)))"},
        {"x = Int -f#", "(assign x (int (neg f#)))"},
    });
}

TEST(CompilerSyntax, ObjectsCallsAndElements) {
    checkTable({
        {"p.Point = New Point", "(assign p.Point (new Point))"},
        {"p = First Point : q = Last Point", "(assign p (first Point))\n(assign q (last Point))"},
        {"p = After p : q = Before p\\nxt",
         "(assign p (after p))\n(assign q (before (field p nxt)))"},
        {"h = Handle(p) : p = Object.Point(h)",
         "(assign h (handle p))\n(assign p (object Point h))"},
        {"x = p\\pos\\x#", "(assign x (field (field p pos) x#))"},
        {"x = a(1, 2) + f() + v[i + 1]",
         "(assign x (+ (+ (call a 1 2) (call f)) (index v (+ i 1))))"},
        {"x = p\\v[2]\\y", "(assign x (field (index (field p v) 2) y))"},
        {"x = (First Point)\\x", "(assign x (field (first Point) x))"},
        {"If p = Null Then End", "(if (= p null) ((end)))"},
        {"a(i, j) = 1 : o\\f = 2 : v[3] = 4 : a(1)\\f[2] = 5",
         "(assign (call a i j) 1)\n(assign (field o f) 2)\n(assign (index v 3) 4)\n"
         "(assign (index (field (call a 1) f) 2) 5)"},
    });
}

TEST(CompilerSyntax, CallStatements) {
    checkTable({
        {"Graphics 640, 480", "(do Graphics 640 480)"},
        {"Graphics(640, 480)", "(do Graphics 640 480)"},
        {"Cls", "(do Cls)"},
        {"Flip()", "(do Flip)"},
        {"Print (a + b) * 2, c", "(do Print (* (+ a b) 2) c)"},
        {"Move -5, 3", "(do Move -5 3)"},
        {"Print$ \"x\"", "(do Print$ \"x\")"},
        {"WaitKey : End", "(do WaitKey)\n(end)"},
    });
}

TEST(CompilerSyntax, ConditionalsAndLoops) {
    checkTable({
        {"If a Then b = 1 Else b = 2", "(if a ((assign b 1)) else ((assign b 2)))"},
        {"If a Then b = 1 : c = 2", "(if a ((assign b 1) (assign c 2)))"},
        {"If a Then If b Then c Else d", "(if a ((if b ((do c)) else ((do d)))))"},
        {"If a Then\n b\nElseIf c Then\n d\nElseIf e\nElse\n f\nEndIf",
         "(if a ((do b)) elseif c ((do d)) elseif e () else ((do f)))"},
        {"if a\n b\nend if", "(if a ((do b)))"},
        {"IF A THEN\nENDIF", "(if A ())"},
        {"While x < 10\n x = x + 1\nWend", "(while (< x 10) ((assign x (+ x 1))))"},
        {"Repeat\n x = x + 1\nUntil x = 10", "(repeat ((assign x (+ x 1))) until (= x 10))"},
        {"Repeat : Exit : Forever", "(repeat ((exit)) forever)"},
        {"For i = 1 To 10\nNext", "(for i 1 10 ())"},
        {"For i# = 10 To 0 Step -0.5\n Print i\nNext i", "(for i# 10 0 step -0.5 ((do Print i)))"},
        {"For i = a To b Step Stride : Next", "(for i a b step Stride ())"},
        {"For i = 0 To 9 Step -N : Next", "(for i 0 9 step (neg N) ())"},
        {"For p.Point = Each Point\n Delete p\nNext", "(foreach p.Point Point ((delete p)))"},
        {"While 1\n For i = 1 To 2\n  If i Then Exit\n Next\nWend",
         "(while 1 ((for i 1 2 ((if i ((exit)))))))"},
        {"Select k\nCase 1, 2\n a\nCase 3\nDefault\n b\nEnd Select",
         "(select k (case 1 2 ((do a))) (case 3 ()) (default ((do b))))"},
    });
}

TEST(CompilerSyntax, JumpsLabelsAndData) {
    checkTable({
        {".start\nGoto start\nGosub .start\nReturn",
         "(label start)\n(goto start)\n(gosub start)\n(return)"},
        {"Data 1, -2, 3.5, \"x\", N\nRead a, b$, c(1), o\\f\nRestore\nRestore start",
         "(data 1 -2 3.5 \"x\" N)\n(read a b$ (call c 1) (field o f))\n(restore)\n(restore start)"},
        {"End\nStop", "(end)\n(stop)"},
    });
}

TEST(CompilerSyntax, Declarations) {
    checkTable({
        {"Global a, b# = 1.5, c$[4], p.Point = Null",
         "(global (a) (b# 1.5) (c$ [4]) (p.Point null))"},
        {"Local v[10], n% = 3", "(local (v [10]) (n% 3))"},
        {"Dim a(10), grid#(w, h)", "(dim (a 10) (grid# w h))"},
        {"Const W = 640, NAME$ = \"x\"", "(const (W 640) (NAME$ \"x\"))"},
        {"Delete Each Point\nInsert a Before b\nInsert a After First T",
         "(delete-each Point)\n(insert a before b)\n(insert a after (first T))"},
        {"Type Point\n Field x, y#, name$\n Field nxt.Point, v[8]\nEnd Type",
         "(type Point (x) (y#) (name$) (nxt.Point) (v [8]))"},
        {"Function add%(a, b# = 1.5, c$ = \"x\", d = -1)\n Return a + b\nEnd Function",
         "(function add% ((a) (b# 1.5) (c$ \"x\") (d -1)) ((return (+ a b))))"},
        {"x = 1\nFunction f()\nEnd Function\ny = 2\nType T\nEnd Type\nz = 3",
         "(type T)\n(function f () ())\n(assign x 1)\n(assign y 2)\n(assign z 3)"},
    });
}

TEST(CompilerSyntax, SeparatorsCommentsAndCase) {
    checkTable({
        {"; a comment\n\nx = 1 ; another\r\n: : y = 2", "(assign x 1)\n(assign y 2)"},
        {"WHILE x : wEnD", "(while x ())"},
        {"x=\"\xE9\xFF\"", "(assign x \"\xE9\xFF\")"},
    });
}

// After an error the parser goes on with the next statement; a block whose first line is wrong
// keeps its body, and a wrong one-line If loses its line only.
TEST(CompilerSyntax, RecoveryKeepsTheRest) {
    const struct {
        const char* source;
        const char* tree;
    } rows[] = {
        {"x = )\ny = 1", "(assign y 1)"},
        {"While (\n z = 2\nWend\nw = 3", "(while <error> ((assign z 2)))\n(assign w 3)"},
        {"If a Then b = : c = 1\nd = 2", "(assign d 2)"},
        {"If (\n e = 1\nElse\n f = 2\nEndIf", "(if <error> ((assign e 1)) else ((assign f 2)))"},
        {"a = 1 : b = ) : c = 3", "(assign a 1)\n(assign c 3)"},
        {"For i = 1 To\n g = 1\nNext\nh = 2", "(for i 1 <error> ((assign g 1)))\n(assign h 2)"},
        {"Function f(\n Return 1\nEnd Function\nk = 1",
         "(function f () ((return 1)))\n(assign k 1)"},
        {"Type T\n Field 3\n Field y\nEnd Type", "(type T (y))"},
        {"Select\nCase 1\n m = 1\nEnd Select", "(select <error> (case 1 ((assign m 1))))"},
    };
    for (const auto& row : rows) {
        const FrontEndResult result = parseSource(row.source, "recover.tx");
        EXPECT_FALSE(result.ok()) << row.source;
        std::string tree = dumpProgram(result.program);
        if (!tree.empty() && tree.back() == '\n') tree.pop_back();
        EXPECT_EQ(tree, row.tree) << row.source;
    }
}

TEST(CompilerSyntax, DeclarationsAreCollected) {
    FrontEndResult result = parseSource(
        "Global g, h$\nConst C = 1\nDim arr(3)\nDim arr(5)\nData 1, 2\n.here\nData 3\n"
        "Function f(a)\n.here\n Data 4\nEnd Function\nType T\n Field x\nEnd Type\n",
        "decl.tx");
    ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    const Declarations& d = result.program.declarations;
    ASSERT_EQ(d.globals.size(), 2u);
    EXPECT_EQ(d.globals[1]->name, "h");
    ASSERT_EQ(d.consts.size(), 1u);
    ASSERT_EQ(d.arrays.size(), 1u);
    EXPECT_EQ(dumpExpr(d.arrays[0]->dims[0].get()), "3");
    ASSERT_EQ(d.data.size(), 4u);
    EXPECT_EQ(dumpExpr(d.data[3]), "4");
    ASSERT_EQ(d.labels.size(), 2u);
    const LabelInfo* main = d.findLabel("HERE", nullptr);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->dataIndex, 2u);
    const FunctionDecl* f = d.findFunction("F");
    ASSERT_NE(f, nullptr);
    const LabelInfo* inF = d.findLabel("here", f);
    ASSERT_NE(inF, nullptr);
    EXPECT_EQ(inF->dataIndex, 3u);
    EXPECT_EQ(inF->pos.line, 9u);
    ASSERT_NE(d.findType("t"), nullptr);
    EXPECT_EQ(d.findType("t")->fields.size(), 1u);
}

}  // namespace
}  // namespace tx::txc
