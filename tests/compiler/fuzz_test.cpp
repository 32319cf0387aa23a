// Random bytes and deeply nested input: the front end reports errors and never crashes, hangs or
// runs out of stack. Mutated programs go through the whole compiler's fuzz test. The random
// generator is seeded, so every run sees the same inputs.
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
