// Inputs tximage must refuse, each with a message that says why, malformed files that must be
// refused without reading outside the input, and records the module image writer refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "code_layout.h"
#include "error.h"
#include "module_image_builder.h"
#include "module_image_writer.h"
#include "tools_test_support.h"

namespace {

using txtest::compileGuest;

// The message of the Error that `step` raises, or "" if it raises none.
template <typename Step>
std::string errorFrom(Step&& step) {
    try {
        step();
    } catch (const tximage::Error& e) {
        return e.what();
    }
    return "";
}
// The message of the Error that building an image from `elf` raises, or "" if it builds.
std::string errorOf(const std::vector<uint8_t>& elf) {
    return errorFrom([&] { tximage::buildModuleImage(elf); });
}

constexpr const char* kSmallProgram = R"(
    #include "tervex.h"
    static const char text[] = "abc";
    int total;
    static int helper(int n) { return n + total; }
    TX_MAIN { total = helper(MilliSecs()); DebugLog(_txStrConst(text)); }
)";

// Every truncation is refused; corrupted bytes never escape as anything but an Error (any other
// exception fails the test).
TEST(ImageErrors, TruncatedAndCorruptedObjects) {
    txtest::TempDir dir;
    const auto bytes = txtest::fileBytes(compileGuest(dir, "small.c", kSmallProgram));
    ASSERT_EQ(errorOf(bytes), "");
    size_t refused = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_NE(errorOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + i)), "")
            << "prefix of " << i << " bytes";
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, static_cast<uint8_t>(bytes[i] ^ 0x80),
                              static_cast<uint8_t>(bytes[i] + 1)}) {
            if (value == bytes[i]) continue;
            auto corrupt = bytes;
            corrupt[i] = value;
            refused += errorOf(corrupt) != "";
        }
    }
    // Header, section table and symbol damage is detected; code bytes pass through.
    EXPECT_GT(refused, bytes.size() / 4);
}

// Objects using what an image cannot express: each refused with a message holding these parts.
TEST(ImageErrors, RelocationsAndSectionsAnImageCannotHold) {
    const struct {
        const char* name;  // *.c gets -fpic when it is pic.c
        const char* source;
        std::vector<const char*> says;
    } cases[] = {
        {"pic.c",
         kSmallProgram,
         {"unsupported relocation R_386_GOTPC", "'_GLOBAL_OFFSET_TABLE_'", "-fno-pic"}},
        {"gotoff.s",
         ".globl __MAIN\n__MAIN: movl local@GOTOFF(%ebx), %eax\n ret\n .data\nlocal: .long 0\n",
         {"R_386_GOTOFF", "section '.data'"}},
        {"narrow.s",
         ".globl __MAIN\n__MAIN: ret\n .word target\n",
         {"unsupported relocation R_386_16 at offset 0x1 in section '.text' against symbol "
          "'target'"}},
        {"outside.s",
         ".globl __MAIN\n__MAIN: ret\n .word 0\n .byte 0\n .reloc 2, R_386_32, __MAIN\n",
         {"R_386_32 at offset 0x2 in section '.text' patches a word outside the section (size 4)"}},
        {"absolute.s",
         ".globl __MAIN, fixed\n .set fixed, 0x1234\n__MAIN: ret\n",
         {"absolute symbol 'fixed' cannot be expressed in a module image"}},
        {"omitted.s",
         ".globl __MAIN\n__MAIN: movl $frames, %eax\n ret\n"
         " .section .eh_frame, \"a\", @progbits\nframes: .long 0\n",
         {"R_386_32 at offset 0x1 in section '.text': section '.eh_frame' is not part of the "
          "image"}},
        {"tls.c",
         "#include \"tervex.h\"\n__thread int perThread;\nTX_MAIN { perThread = 1; }\n",
         {"thread-local section '.tbss' is not supported"}},
        {"ctors.s",
         ".globl __MAIN\n__MAIN: ret\n .section .init_array, \"aw\"\n .long __MAIN\n",
         {"unsupported loaded section '.init_array'"}},
    };
    txtest::TempDir dir;
    for (const auto& c : cases) {
        const std::string source =
            c.name[std::strlen(c.name) - 1] == 's' ? std::string(" .text\n") + c.source : c.source;
        const std::string message = errorOf(txtest::fileBytes(
            compileGuest(dir, c.name, source, std::string_view(c.name) == "pic.c" ? "-fpic" : "")));
        for (const char* part : c.says) EXPECT_NE(message.find(part), std::string::npos) << message;
    }
}

TEST(ModuleImageWriter, RecordsOutsideTheCodeTwiceOrPastTheLimitAreRefused) {
    tximage::ModuleImageWriter writer(std::vector<uint8_t>(8, 0));
    EXPECT_NO_THROW(writer.addSymbol("last", 7));
    EXPECT_THROW(writer.addSymbol("past", 8), tximage::Error);
    EXPECT_NO_THROW(writer.addAbsoluteFixup("x", 4));
    EXPECT_THROW(writer.addAbsoluteFixup("x", 5), tximage::Error);
    EXPECT_THROW(writer.addRelativeFixup("x", 0xFFFFFFFE), tximage::Error);
    EXPECT_THROW(writer.addSymbol("", 0), tximage::Error);

    tximage::ModuleImageWriter tiny(std::vector<uint8_t>(3, 0));
    EXPECT_THROW(tiny.addRelativeFixup("x", 0), tximage::Error);

    tximage::ModuleImageWriter twice(std::vector<uint8_t>(8, 0));
    twice.addSymbol("twice", 0);
    twice.addSymbol("twice", 4);
    EXPECT_THROW(twice.finish(), tximage::Error);

    // The largest code block fits only with empty record tables.
    tximage::ModuleImageWriter largest(std::vector<uint8_t>(tximage::kMaxCodeSize));
    largest.addSymbol("__MAIN", 0);
    const std::string refused = errorFrom([&] { (void)largest.finish(); });
    EXPECT_NE(refused.find("a module image holds at most 256 MiB"), std::string::npos) << refused;
}

}  // namespace
