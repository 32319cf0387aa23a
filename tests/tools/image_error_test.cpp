// Inputs tximage must refuse, each with a message that says why, and malformed files that must
// be refused without reading outside the input.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "module_image_builder.h"
#include "tools_test_support.h"

namespace {

using txtest::compileGuest;

// The message of the Error that building the image raises, or "" if it builds.
std::string errorOf(const std::vector<uint8_t>& elf) {
    try {
        tximage::buildModuleImage(elf);
    } catch (const tximage::Error& e) {
        return e.what();
    }
    return "";
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

}  // namespace
