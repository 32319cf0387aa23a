// The compiler under random bytes, mutated programs and deep nesting: it never crashes, throws,
// hangs or runs out of stack; every refusal names its mistakes at positions inside the text,
// within the error cap; every program the front end accepts can be dumped, and every program
// the compiler accepts becomes an image the runtime's linker takes. Random bytes seldom parse;
// mutated programs mostly do, so that the checker and the code generator see them too. Seeded,
// so every run sees the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ast_dump.h"
#include "program_runner.h"
#include "test_files.h"

namespace tx {
namespace {

constexpr uint32_t kSeed = 20261207;

struct Tally {
    int compiled = 0;
    int refused = 0;
};

// Compiles the source with and without checks; an accepted program must link.
void compileAndLink(const std::string& source, const std::string& fileName, Tally& tally) {
    const auto lines = static_cast<uint32_t>(std::count(source.begin(), source.end(), '\n')) + 1;
    for (const bool debug : {false, true}) {
        txc::CompileResult result;
        ASSERT_NO_THROW({
            txc::FrontEndResult parsed = txc::parseSource(source, fileName);
            if (parsed.ok()) (void)txc::dumpProgram(parsed.program);
            result = txc::compileProgram(std::move(parsed), test::runtimeCommands(),
                                         txc::CompileOptions{.debug = debug});
        });
        if (!result.ok()) {
            ASSERT_FALSE(result.diagnostics.empty());
            ASSERT_LE(result.diagnostics.size(), txc::Diagnostics::kMaxErrors + 1);
            for (const auto& d : result.diagnostics) {
                // Inside a file; inside the text of the source itself (included files aside).
                const bool inside =
                    d.pos.file < result.files.size() && d.pos.line >= 1 && d.pos.column >= 1 &&
                    (d.pos.file != 0 || (d.pos.line <= lines && d.pos.column <= source.size() + 1));
                ASSERT_TRUE(inside && !d.message.empty())
                    << d.pos.file << ":" << d.pos.line << ":" << d.pos.column << ": " << d.message;
            }
            ++tally.refused;
            continue;
        }
        ++tally.compiled;
        GuestMachine machine;
        const LinkResult linked = link(runtimeGetRuntime(), result.imageBytes(), machine);
        ASSERT_EQ(linked.status, LinkResult::Status::Linked) << linked.message << "\n" << source;
    }
}

// Compiles `count` sources drawn by make(rng), which gives a source and its file name.
template <typename Make>
Tally fuzz(uint32_t seed, int count, Make make) {
    std::mt19937 rng(seed);
    Tally tally;
    for (int i = 0; i < count && !::testing::Test::HasFatalFailure(); ++i) {
        SCOPED_TRACE(i);
        const auto [source, name] = make(rng);
        compileAndLink(source, name, tally);
    }
    return tally;
}

TEST(CompilerFuzz, RandomBytes) {
    fuzz(kSeed, 3000, [](std::mt19937& rng) {
        std::string source(rng() % 300, '\0');
        for (char& c : source) {
            // Mostly printable text, with the occasional newline and arbitrary byte.
            const uint32_t pick = rng() % 16;
            c = pick == 0   ? '\n'
                : pick == 1 ? static_cast<char>(rng() % 256)
                            : static_cast<char>(32 + rng() % 95);
        }
        return std::pair(source, std::string("fuzz.tx"));
    });
}

std::string repeated(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// 100,000 levels of each kind of nesting: an error about the depth, no stack overflow; nesting
// up to the limit is still a program.
TEST(CompilerFuzz, DeepNesting) {
    constexpr size_t kLevels = 100000;
    for (const std::string& source : {
             "x = " + repeated("(", kLevels) + "1" + repeated(")", kLevels),
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
         }) {
        const txc::FrontEndResult result = txc::parseSource(source, "deep.tx");
        ASSERT_FALSE(result.ok()) << source.substr(0, 40);
        EXPECT_NE(result.diagnostics.front().message.find("nested too deeply"), std::string::npos)
            << source.substr(0, 40) << ": " << result.diagnostics.front().message;
    }
    for (const std::string& source : {"x = " + repeated("(", 200) + "1" + repeated(")", 200),
                                      repeated("While 1\n", 200) + repeated("Wend\n", 200)}) {
        const txc::CompileResult result =
            txc::compileSource(source, "deep.tx", test::runtimeCommands());
        EXPECT_TRUE(result.ok()) << result.diagnosticsText();
    }
}

// The programs of the other tests as (path, text), by path (includes are found next to them).
std::vector<std::pair<std::string, std::string>> corpus() {
    std::vector<std::pair<std::string, std::string>> sources;
    for (const char* dir : {"/programs", "/differential"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(TERVEX_COMPILER_PROGRAMS) + dir))
            if (entry.path().extension() == ".tx")
                sources.emplace_back(entry.path().string(), test::fileText(entry.path().string()));
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

// Pieces that keep a program mostly well-formed: statements, operands and operators of every
// type.
const std::vector<std::string> kPieces = [] {
    std::istringstream all(
        "x|y#|s$|p.T|1|-2|2.5|\"t\"|Null|+|-|*|/|Mod|^|Shl|Sar|And|Or|Not |=|<|<>|(|)|,|\\a|"
        "[0]|Str |Int |Float |Len(s$)|Chr(65)|Mid(s$, 2)|Handle(p)|Object.T(1)|New T|First T|"
        "After p|f(1)|f(\"a\", 2.5)|DebugLog |RuntimeStats|\n|\n|:| Then |If |Exit\n|Return\n|"
        "Return x\n|Delete p\n|Delete Each T\n|Read x\n|Data 1, \"a\"\n|Dim d(2, 2)\n|"
        "d(1, 1) = |Local v[3]\n|v[1] = |Gosub l\n|.l\n|Goto l\n|For i = 1 To 3\n|Next\n|"
        "While x < 3\n|Wend\n|Select x\nCase 1\n|End Select\n|Function g$(a = 1)\n|"
        "End Function\n");
    std::vector<std::string> pieces;
    for (std::string piece; std::getline(all, piece, '|');) pieces.push_back(piece);
    return pieces;
}();

const std::string& piece(std::mt19937& rng) {
    return kPieces[rng() % kPieces.size()];
}

std::string mutate(std::string text, std::mt19937& rng,
                   const std::vector<std::pair<std::string, std::string>>& sources) {
    const int edits = 1 + static_cast<int>(rng() % 3);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 5) {
            case 0:
                text.erase(at, 1 + rng() % 12);
                break;
            case 1:
                text.insert(at, piece(rng));
                break;
            case 2: {
                // A line of another program.
                const std::string& other = sources[rng() % sources.size()].second;
                const size_t from = other.find('\n', rng() % other.size());
                if (from == std::string::npos) break;
                const size_t to = other.find('\n', from + 1);
                text.insert(at, other.substr(from, to == std::string::npos ? 1 : to - from));
                break;
            }
            case 3: {
                // A line of this program dropped.
                const size_t start = text.rfind('\n', at);
                const size_t end = text.find('\n', at);
                if (start != std::string::npos && end != std::string::npos)
                    text.erase(start, end - start);
                break;
            }
            default: {
                // An operand or a word swapped for another.
                const size_t end = text.find_first_of(" \n(),:", at);
                if (end != std::string::npos) text.replace(at, end - at, piece(rng));
                break;
            }
        }
    }
    return text;
}

TEST(CompilerFuzz, MutatedPrograms) {
    const auto sources = corpus();
    ASSERT_FALSE(sources.empty());
    const Tally tally = fuzz(kSeed, 2000, [&](std::mt19937& rng) {
        const auto& [path, text] = sources[rng() % sources.size()];
        return std::pair(mutate(text, rng, sources), path);
    });
    // The mutations keep enough programs valid for the back end to see them.
    EXPECT_GT(tally.compiled, 400);
    EXPECT_GT(tally.refused, 400);
}

TEST(CompilerFuzz, PieceSoup) {
    const Tally tally = fuzz(kSeed + 1, 3000, [](std::mt19937& rng) {
        std::string source =
            "Type T\n Field a, s$, v[2]\nEnd Type\nFunction f(a, b# = 1)\n Return a\nEnd "
            "Function\n";
        for (size_t count = 1 + rng() % 40; count > 0; --count) source += piece(rng) + ' ';
        return std::pair(source, std::string("soup.tx"));
    });
    EXPECT_GT(tally.compiled, 0);
}

}  // namespace
}  // namespace tx
