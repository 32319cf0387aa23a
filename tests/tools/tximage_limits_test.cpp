// tximage's limits and failures in words: an image past the size limit is refused before it is
// built, running out of memory and unreadable inputs are reported as sentences.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "code_layout.h"
#include "error.h"
#include "image_file.h"
#include "module_image_writer.h"
#include "tools_test_support.h"

namespace {

std::string tximage() {
    return txtest::quoted(std::filesystem::path(TERVEX_BIN_DIR) / "tools" / "tximage");
}

// An object with `bssBytes` bytes of zero-filled data.
std::filesystem::path objectWithBss(const txtest::TempDir& dir, uint64_t bssBytes) {
    return txtest::compileGuest(dir, "big.c",
                                "#include \"tervex.h\"\n"
                                "char big[" +
                                    std::to_string(bssBytes) +
                                    "];\n"
                                    "TX_MAIN { big[0] = 1; }\n");
}

// A virtual memory limit leaves no room for the address sanitizer's shadow memory.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryLimitWorks = false;
#else
constexpr bool kMemoryLimitWorks = true;
#endif

// tximage under a virtual memory limit of about 190 MiB: less than any image near the size
// limit needs.
txtest::CommandResult convertWithLittleMemory(const std::filesystem::path& object,
                                              const std::filesystem::path& image) {
    return txtest::runCommand("(ulimit -v 190000 && " + tximage() + " " + txtest::quoted(object) +
                              " -o " + txtest::quoted(image) + ")");
}

TEST(TximageLimits, BssPastTheLimitIsRefusedBeforeAllocating) {
    if (!kMemoryLimitWorks) GTEST_SKIP() << "address sanitizer build";
    txtest::TempDir dir;
    const auto image = dir / "big.tmi";
    const auto run = convertWithLittleMemory(objectWithBss(dir, tx::kMaxImageFileBytes), image);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("zero-filled data (.bss) included"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("a module image holds at most 256 MiB"), std::string::npos)
        << run.output;
    EXPECT_FALSE(std::filesystem::exists(image));
}

TEST(TximageLimits, RunningOutOfMemoryIsSaidInWords) {
    if (!kMemoryLimitWorks) GTEST_SKIP() << "address sanitizer build";
    txtest::TempDir dir;
    const auto image = dir / "big.tmi";
    const auto run = convertWithLittleMemory(objectWithBss(dir, 255u << 20), image);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("error: not enough memory to build the module image"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("bad_alloc"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(image));
}

TEST(TximageLimits, RecordsMayNotPushTheImagePastTheLimit) {
    // The largest code block fits only with empty record tables.
    tximage::ModuleImageWriter writer(std::vector<uint8_t>(tximage::kMaxCodeSize));
    writer.addSymbol("__MAIN", 0);
    try {
        (void)writer.finish();
        FAIL() << "an image past the limit was built";
    } catch (const tximage::Error& e) {
        EXPECT_NE(std::string(e.what()).find("a module image holds at most 256 MiB"),
                  std::string::npos)
            << e.what();
    }
}

TEST(TximageLimits, UnreadableInputsAreSaidInWords) {
    txtest::TempDir dir;
    const auto image = dir / "out.tmi";
    struct Case {
        std::string input;
        std::string message;
    };
    const Case cases[] = {
        {dir.path(), "cannot read '" + dir.path() + "': Is a directory"},
        {"/dev/zero", "cannot read '/dev/zero': not a regular file or a pipe"},
        {(dir / "missing.o").string(),
         "cannot open '" + (dir / "missing.o").string() + "': No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const auto run = txtest::runCommand(tximage() + " " + txtest::quoted(c.input) + " -o " +
                                            txtest::quoted(image));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(image));
    }
}

}  // namespace
