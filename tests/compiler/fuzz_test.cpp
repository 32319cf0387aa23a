// Random and deeply nested input: the front end reports errors and never crashes, hangs or runs
// out of stack. The random generator is seeded, so every run sees the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ast_dump.h"
#include "frontend.h"

namespace tx::txc {
namespace {

constexpr uint32_t kSeed = 20261207;

// Checks what must hold for any input: the run ends, positions lie inside the text, the error cap
// holds, and a program without errors can be dumped.
void parseAndCheck(const std::string& source) {
    const FrontEndResult result = parseSource(source, "fuzz.tx");
    const auto lines = static_cast<uint32_t>(std::count(source.begin(), source.end(), '\n')) + 1;
    ASSERT_LE(result.diagnostics.size(), Diagnostics::kMaxErrors + 1);
    for (const auto& d : result.diagnostics) {
        ASSERT_EQ(d.pos.file, 0u);
        ASSERT_GE(d.pos.line, 1u);
        ASSERT_LE(d.pos.line, lines);
        ASSERT_GE(d.pos.column, 1u);
        ASSERT_LE(d.pos.column, source.size() + 1);
        ASSERT_FALSE(d.message.empty());
    }
    if (result.ok()) (void)dumpProgram(result.program);
}

const std::vector<std::string>& vocabulary() {
    static const std::vector<std::string> words = {
        "If",         "Then",   "Else",    "ElseIf",  "EndIf",    "End",     "While",   "Wend",
        "Repeat",     "Until",  "Forever", "For",     "To",       "Step",    "Each",    "Next",
        "Exit",       "Select", "Case",    "Default", "Goto",     "Gosub",   "Return",  "Function",
        "Type",       "Field",  "Global",  "Local",   "Dim",      "Const",   "New",     "First",
        "Last",       "After",  "Before",  "Handle",  "Object.T", "Str",     "Int",     "Float",
        "Not",        "And",    "Or",      "Xor",     "Mod",      "Shl",     "Shr",     "Sar",
        "Delete",     "Insert", "Data",    "Read",    "Restore",  "Include", "Stop",    "True",
        "False",      "Null",   "Pi",      "x",       "y#",       "s$",      "p.T",     "f",
        "T",          "1",      "-2",      "3.5",     "$FF",      "%101",    "\"str\"", "+",
        "-",          "*",      "/",       "^",       "~",        "=",       "<>",      "<",
        ">",          "<=",     ">=",      "(",       ")",        "[",       "]",       ",",
        "\\",         ".",      ":",       "\n",      "\n",       ";c\n",    "@",       "\"",
        "2147483648", "_"};
    return words;
}

const std::vector<std::string>& validPrograms() {
    static const std::vector<std::string> programs = {
        "Type P\n Field x#, y#, v[3], nxt.P\nEnd Type\nGlobal n = 10\n"
        "Function make.P(x# = 0, y# = -1.5)\n p.P = New P : p\\x = x : p\\y = y\n Return p\n"
        "End Function\nFor i = 1 To n Step 2\n q.P = make(i, i * 2)\n q\\v[i Mod 4] = i\nNext\n"
        "For q.P = Each P\n If q\\x > 3 Then Delete q Else q\\y = -q\\y\nNext\n",
        "Const W = 640, H = 480\nGraphics W, H\nx# = 0 : s$ = \"score\"\nWhile Not KeyHit(1)\n"
        " Select Int(x#) Mod 3\n Case 0, 1\n  x# = x# + 0.5\n Default\n  Exit\n End Select\n"
        " If x# > W Then\n  x# = 0\n ElseIf x# < 0\n  x# = W\n Else\n  Print s$ + Str x#\n EndIf\n"
        "Wend\nEnd\n",
        "Dim grid(10, 10)\nRestore level\n.level\nData 1, 2, 3, \"four\", -5.5\nRead a, b, c, d$, "
        "e#\n"
        "Repeat\n a = a + 1 : grid(a, b) = a Shl 2 Xor $F0\nUntil a >= 10 Or b = %1\n"
        "Gosub sub\nEnd\n.sub\nh = Handle(First P) : o.P = Object.P(h)\nInsert o Before Last P\n"
        "Return\n",
    };
    return programs;
}

std::string mutate(std::string text, std::mt19937& rng) {
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 5) {
            case 0:
                text.erase(at, 1 + rng() % 8);
                break;
            case 1:
                text.insert(at, vocabulary()[rng() % vocabulary().size()]);
                break;
            case 2:
                text[at] = static_cast<char>(rng() % 256);
                break;
            case 3: {
                const size_t from = rng() % text.size();
                const size_t length = std::min<size_t>(1 + rng() % 40, text.size() - from);
                text.insert(at, text.substr(from, length));
                break;
            }
            default:
                text.insert(at, " ");
                break;
        }
    }
    return text;
}

TEST(CompilerFuzz, RandomBytes) {
    std::mt19937 rng(kSeed);
    for (int i = 0; i < 3000; ++i) {
        std::string source(rng() % 300, '\0');
        for (char& c : source) {
            // Mostly printable text, with the occasional newline and arbitrary byte.
            const uint32_t pick = rng() % 16;
            c = pick == 0   ? '\n'
                : pick == 1 ? static_cast<char>(rng() % 256)
                            : static_cast<char>(32 + rng() % 95);
        }
        SCOPED_TRACE(i);
        parseAndCheck(source);
    }
}

TEST(CompilerFuzz, TokenSoup) {
    std::mt19937 rng(kSeed + 1);
    const auto& words = vocabulary();
    for (int i = 0; i < 3000; ++i) {
        std::string source;
        const size_t count = rng() % 120;
        for (size_t t = 0; t < count; ++t) {
            source += words[rng() % words.size()];
            if (rng() % 4 != 0) source += ' ';
        }
        SCOPED_TRACE(i);
        parseAndCheck(source);
    }
}

TEST(CompilerFuzz, MutatedValidPrograms) {
    for (const auto& program : validPrograms()) {
        const FrontEndResult result = parseSource(program, "valid.tx");
        ASSERT_TRUE(result.ok()) << result.diagnosticsText();
    }
    std::mt19937 rng(kSeed + 2);
    for (int i = 0; i < 3000; ++i) {
        const std::string& base = validPrograms()[rng() % validPrograms().size()];
        SCOPED_TRACE(i);
        parseAndCheck(mutate(base, rng));
    }
}

std::string repeated(const std::string& piece, size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// 100,000 levels of each kind of nesting: an error about the depth, no stack overflow.
TEST(CompilerFuzz, DeepNestingIsAnError) {
    constexpr size_t kLevels = 100000;
    const std::vector<std::string> sources = {
        "x = " + repeated("(", kLevels) + "1" + repeated(")", kLevels),
        "x = " + repeated("(", kLevels),
        "x = " + repeated("1 + ", kLevels) + "1",
        "x = " + repeated("2 ^ ", kLevels) + "2",
        "x = " + repeated("-", kLevels) + "1",
        "x = " + repeated("Not ", kLevels) + "1",
        "x = " + repeated("- Not ", kLevels) + "1",
        "x = " + repeated("Str ", kLevels) + "1",
        "x = " + repeated("f(", kLevels),
        "x = " + repeated("a[", kLevels),
        "x = o" + repeated("\\f", kLevels),
        "Print " + repeated("(", kLevels),
        repeated("If a Then ", kLevels) + "b",
        repeated("While 1\n", kLevels) + repeated("Wend\n", kLevels),
        repeated("If a\n", kLevels),
        repeated("For i = 1 To 2\n", kLevels) + repeated("Next\n", kLevels),
    };
    for (const auto& source : sources) {
        const FrontEndResult result = parseSource(source, "deep.tx");
        ASSERT_FALSE(result.ok()) << source.substr(0, 40);
        EXPECT_NE(result.diagnostics.front().message.find("nested too deeply"), std::string::npos)
            << source.substr(0, 40) << ": " << result.diagnostics.front().message;
    }
}

// Nesting up to the limit is still a program.
TEST(CompilerFuzz, NestingUpToTheLimitIsAccepted) {
    const FrontEndResult parens =
        parseSource("x = " + repeated("(", 200) + "1" + repeated(")", 200), "deep.tx");
    EXPECT_TRUE(parens.ok()) << parens.diagnosticsText();
    const FrontEndResult blocks =
        parseSource(repeated("While 1\n", 200) + repeated("Wend\n", 200), "deep.tx");
    EXPECT_TRUE(blocks.ok()) << blocks.diagnosticsText();
}

}  // namespace
}  // namespace tx::txc
