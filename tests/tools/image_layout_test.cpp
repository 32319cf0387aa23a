// Where tximage puts the object's sections, COMMON symbols and definitions in the code block.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools_test_support.h"

namespace {

using txtest::compileGuest;
using txtest::ParsedImage;
using Records = std::vector<ParsedImage::Record>;

TEST(ImageLayout, PartsInOrderEachSectionAtItsAlignment) {
    txtest::TempDir dir;
    // Sections appear in the file in a mixed order: the image orders them by part.
    const auto object = compileGuest(dir, "layout.s", R"(
        .data
        .byte 0x77
        .balign 8
        .globl counter
counter: .long 0x11223344
        .text
        .balign 4
        .globl first, __MAIN
first:  ret
__MAIN: nop
        nop
        ret
        .bss
        .balign 32
        .globl zeros
zeros:  .skip 100
        .section .rodata
        .balign 16
        .globl table
table:  .long 1, 2, 3
        .section .text.more, "ax", @progbits
        .balign 4
        .globl more
more:   ret
)");
    const ParsedImage image = txtest::imageOf(object);

    std::vector<uint8_t> expected(164, 0);
    // jmp rel32 from the end of the 5-byte stub to __MAIN at 9.
    const std::vector<uint8_t> stub{0xE9, 0x04, 0x00, 0x00, 0x00};
    std::copy(stub.begin(), stub.end(), expected.begin());
    // .text (alignment 4) at 8, .text.more (alignment 4) at 12.
    const std::vector<uint8_t> text{0xC3, 0x90, 0x90, 0xC3};
    std::copy(text.begin(), text.end(), expected.begin() + 8);
    expected[12] = 0xC3;
    // .rodata (alignment 16) at 16.
    const std::vector<uint8_t> rodata{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    std::copy(rodata.begin(), rodata.end(), expected.begin() + 16);
    // .data (alignment 8) at 32, its counter at 40.
    expected[32] = 0x77;
    const std::vector<uint8_t> counter{0x44, 0x33, 0x22, 0x11};
    std::copy(counter.begin(), counter.end(), expected.begin() + 40);
    // .bss (alignment 32) at 64, 100 zero bytes: the block ends at 164.
    EXPECT_EQ(image.code, expected);

    const Records symbols{{"__MAIN", 0}, {"counter", 40}, {"first", 8},
                          {"more", 12},  {"table", 16},   {"zeros", 64}};
    EXPECT_EQ(image.symbols, symbols);
    EXPECT_TRUE(image.relativeFixups.empty());
    EXPECT_TRUE(image.absoluteFixups.empty());
}

TEST(ImageLayout, SymbolRecordsSortedByUnsignedBytes) {
    txtest::TempDir dir;
    // "z\xC3\xA9" must follow "zeta": byte 0xC3 is above every ASCII byte.
    const auto object = compileGuest(dir, "names.s",
                                     ".text\n"
                                     ".globl zeta, \"z\xC3\xA9\", Alpha, _beta, m, __MAIN\n"
                                     "zeta: ret\n"
                                     "\"z\xC3\xA9\": ret\n"
                                     "Alpha: ret\n"
                                     "_beta: ret\n"
                                     "m: ret\n"
                                     "__MAIN: ret\n");
    const ParsedImage image = txtest::imageOf(object);
    const Records symbols{{"Alpha", 7}, {"__MAIN", 0}, {"_beta", 8},
                          {"m", 9},     {"zeta", 5},   {"z\xC3\xA9", 6}};
    EXPECT_EQ(image.symbols, symbols);
    // The stub jumps over the five functions before __MAIN, to offset 10.
    EXPECT_EQ(image.code[0], 0xE9);
    EXPECT_EQ(image.wordAt(1), 10 - 5);
}

TEST(ImageLayout, CommonSymbolsFollowBssAtTheirAlignment) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "common.s", R"(
        .text
        .globl __MAIN
__MAIN: ret
        .bss
        .globl buffer
buffer: .skip 3
        .comm flag, 1, 1
        .comm pool, 40, 16
        .comm last, 4, 4
)");
    const ParsedImage image = txtest::imageOf(object);
    // .text at 5 (1 byte), .bss at 6 (3 bytes), then flag 9, pool 16..56, last 56..60.
    const Records symbols{{"__MAIN", 0}, {"buffer", 6}, {"flag", 9}, {"last", 56}, {"pool", 16}};
    EXPECT_EQ(image.symbols, symbols);
    EXPECT_EQ(image.code.size(), 60u);
}

TEST(ImageLayout, SymbolAtTheEndOfTheLastSectionStaysInsideTheBlock) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "end.s", R"(
        .text
        .globl __MAIN
__MAIN: movl $heap_end, %eax
        ret
        .bss
        .globl heap_start, heap_end
heap_start: .skip 8
heap_end:
)");
    const ParsedImage image = txtest::imageOf(object);
    // .text is 6 bytes at 5; .bss at 11 holds 8 bytes; heap_end sits at 19, where the block
    // would end, so the block gets one more zero byte to contain it.
    EXPECT_EQ(image.symbol("heap_end"), 19u);
    EXPECT_EQ(image.symbol("heap_start"), 11u);
    ASSERT_EQ(image.code.size(), 20u);
    EXPECT_EQ(image.code[19], 0);
    const Records absolute{{"heap_end", 6}};
    EXPECT_EQ(image.absoluteFixups, absolute);
}

TEST(ImageLayout, UnwindTablesNotesAndCommentsAreLeftOut) {
    txtest::TempDir dir;
    const char* source = R"(
        #include "tervex.h"
        static int counter;
        static int bump(int n) { counter += n; return counter; }
        TX_MAIN { Delay(bump(MilliSecs())); }
    )";
    const auto plain = compileGuest(dir, "plain.c", source);
    const auto unwind = compileGuest(dir, "unwind.c", source, "-fasynchronous-unwind-tables");
    ASSERT_NE(txtest::readBytes(plain), txtest::readBytes(unwind));
    const ParsedImage a = txtest::imageOf(plain);
    const ParsedImage b = txtest::imageOf(unwind);
    EXPECT_EQ(a.code, b.code);
    EXPECT_EQ(a.symbols, b.symbols);
    EXPECT_EQ(a.relativeFixups, b.relativeFixups);
    EXPECT_EQ(a.absoluteFixups, b.absoluteFixups);
}

TEST(ImageLayout, ObjectsJoinedWithLdRelocatable) {
    txtest::TempDir dir;
    const auto main = compileGuest(dir, "main.c", R"(
        #include "tervex.h"
        int helper(int x);
        int result;
        TX_MAIN { result = helper(20); End(); }
    )");
    const auto helper = compileGuest(dir, "helper.c", "int helper(int x) { return x + 22; }\n");
    const auto joined = dir / "joined.o";
    const auto link = txtest::runCommand("ld -m elf_i386 -r -o " + txtest::quoted(joined) + " " +
                                         txtest::quoted(main) + " " + txtest::quoted(helper));
    ASSERT_EQ(link.exitCode, 0) << link.output;

    const ParsedImage image = txtest::imageOf(joined);
    ASSERT_TRUE(image.symbol("helper").has_value());
    ASSERT_TRUE(image.symbol("result").has_value());
    EXPECT_EQ(image.symbol("__MAIN"), 0u);
    // helper's code follows __MAIN's in the joined .text: it starts with helper.c's bytes.
    const auto helperText = dir / "helper.text";
    const auto copy = txtest::runCommand("objcopy -O binary --only-section=.text " +
                                         txtest::quoted(helper) + " " + txtest::quoted(helperText));
    ASSERT_EQ(copy.exitCode, 0) << copy.output;
    const auto expected = txtest::readBytes(helperText);
    ASSERT_LE(*image.symbol("helper") + expected.size(), image.code.size());
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), image.code.begin() + *image.symbol("helper")));

    // The call from __MAIN to helper stays a fixup by name (ld -r keeps global references).
    bool callsHelper = false;
    for (const auto& f : image.relativeFixups) {
        if (f.name == "helper") {
            callsHelper = true;
            EXPECT_EQ(image.code[f.offset - 1], 0xE8);
            EXPECT_EQ(image.wordAt(f.offset), -4);
        }
    }
    EXPECT_TRUE(callsHelper);
}

}  // namespace
