// The whole compiler under random and mutated programs: compileSource never crashes or throws,
// every refusal names its mistakes at positions inside a file, and every program it accepts
// becomes an image the runtime's linker takes. The front end's own fuzz test feeds it bytes
// that seldom parse; these inputs mostly parse, so that the checker and the code generator see
// them too. Seeded, so every run sees the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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
    for (const bool debug : {false, true}) {
        txc::CompileResult result;
        ASSERT_NO_THROW(result = txc::compileSource(source, fileName, test::runtimeCommands(),
                                                    txc::CompileOptions{.debug = debug}));
        if (!result.ok()) {
            ASSERT_FALSE(result.diagnostics.empty());
            for (const auto& d : result.diagnostics) {
                ASSERT_LT(d.pos.file, result.files.size()) << d.message;
                ASSERT_GE(d.pos.line, 1u) << d.message;
                ASSERT_GE(d.pos.column, 1u) << d.message;
                ASSERT_FALSE(d.message.empty());
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

// The programs of the other tests, by path (their includes are found next to them).
struct Source {
    std::string path;
    std::string text;
};

std::vector<Source> corpus() {
    std::vector<Source> sources;
    for (const char* dir : {"/programs", "/differential"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(TERVEX_COMPILER_PROGRAMS) + dir))
            if (entry.path().extension() == ".tx")
                sources.push_back({entry.path().string(), test::fileText(entry.path().string())});
    }
    std::sort(sources.begin(), sources.end(),
              [](const Source& a, const Source& b) { return a.path < b.path; });
    return sources;
}

// Pieces that keep a program mostly well-formed: whole lines of other programs, statements,
// operands and operators of every type.
const std::vector<std::string>& pieces() {
    static const std::vector<std::string> words = [] {
        // One piece after another, separated by '|'.
        constexpr std::string_view kAll =
            "x|y#|s$|p.T|1|-2|2.5|\"t\"|Null|+|-|*|/|Mod|^|Shl|Sar|And|Or|Not |=|<|<>|(|)|,|\\a|"
            "[0]|Str |Int |Float |Len(s$)|Chr(65)|Mid(s$, 2)|Handle(p)|Object.T(1)|New T|First T|"
            "After p|f(1)|f(\"a\", 2.5)|DebugLog |RuntimeStats|\n|\n|:| Then |If |Exit\n|Return\n|"
            "Return x\n|Delete p\n|Delete Each T\n|Read x\n|Data 1, \"a\"\n|Dim d(2, 2)\n|"
            "d(1, 1) = |Local v[3]\n|v[1] = |Gosub l\n|.l\n|Goto l\n|For i = 1 To 3\n|Next\n|"
            "While x < 3\n|Wend\n|Select x\nCase 1\n|End Select\n|Function g$(a = 1)\n|"
            "End Function\n";
        std::vector<std::string> w;
        for (size_t at = 0; at <= kAll.size();) {
            const size_t end = std::min(kAll.find('|', at), kAll.size());
            w.emplace_back(kAll.substr(at, end - at));
            at = end + 1;
        }
        return w;
    }();
    return words;
}

std::string mutate(std::string text, std::mt19937& rng, const std::vector<Source>& sources) {
    const int edits = 1 + static_cast<int>(rng() % 3);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 5) {
            case 0:
                text.erase(at, 1 + rng() % 12);
                break;
            case 1:
                text.insert(at, pieces()[rng() % pieces().size()]);
                break;
            case 2: {
                // A line of another program.
                const std::string& other = sources[rng() % sources.size()].text;
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
                if (end != std::string::npos)
                    text.replace(at, end - at, pieces()[rng() % pieces().size()]);
                break;
            }
        }
    }
    return text;
}

TEST(WholeCompilerFuzz, MutatedPrograms) {
    const std::vector<Source> sources = corpus();
    ASSERT_FALSE(sources.empty());
    std::mt19937 rng(kSeed);
    Tally tally;
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const Source& base = sources[rng() % sources.size()];
        compileAndLink(mutate(base.text, rng, sources), base.path, tally);
        if (HasFatalFailure()) return;
    }
    // The mutations keep enough programs valid for the back end to see them.
    EXPECT_GT(tally.compiled, 400);
    EXPECT_GT(tally.refused, 400);
}

TEST(WholeCompilerFuzz, PieceSoup) {
    const std::string prelude =
        "Type T\n Field a, s$, v[2]\nEnd Type\nFunction f(a, b# = 1)\n Return a\nEnd Function\n";
    std::mt19937 rng(kSeed + 1);
    Tally tally;
    for (int i = 0; i < 3000; ++i) {
        std::string source = prelude;
        const size_t count = 1 + rng() % 40;
        for (size_t t = 0; t < count; ++t) {
            source += pieces()[rng() % pieces().size()];
            source += ' ';
        }
        SCOPED_TRACE(i);
        compileAndLink(source, "soup.tx", tally);
        if (HasFatalFailure()) return;
    }
    EXPECT_GT(tally.compiled, 0);
}

}  // namespace
}  // namespace tx
