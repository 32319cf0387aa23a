// How relocations become fixups: runtime calls by name, global data by name with the addend
// left in the word, local symbols and sections through internal labels.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools_test_support.h"

namespace {

using txtest::compileGuest;
using txtest::ParsedImage;
using Records = std::vector<ParsedImage::Record>;

// The raw contents of one section of an object, extracted by objcopy.
std::vector<uint8_t> sectionBytes(const txtest::TempDir& dir, const std::filesystem::path& object,
                                  const std::string& section) {
    const auto out = dir / (object.stem().string() + section + ".bin");
    const auto r = txtest::runCommand("objcopy -O binary --only-section=" + section + " " +
                                      txtest::quoted(object) + " " + txtest::quoted(out));
    if (r.exitCode != 0) throw std::runtime_error(r.output);
    return txtest::readBytes(out);
}

// The value of a symbol in the object's own symbol table, as nm reports it.
uint32_t nmValue(const std::filesystem::path& object, const std::string& name) {
    const auto r = txtest::runCommand("nm " + txtest::quoted(object));
    std::istringstream lines(r.output);
    std::string value, kind, symbol;
    while (lines >> value >> kind >> symbol) {
        if (symbol == name) return static_cast<uint32_t>(std::stoul(value, nullptr, 16));
    }
    throw std::runtime_error("nm does not list " + name);
}

bool codeMatches(const ParsedImage& image, uint32_t offset, const std::vector<uint8_t>& bytes) {
    return offset + bytes.size() <= image.code.size() &&
           std::equal(bytes.begin(), bytes.end(), image.code.begin() + offset);
}

TEST(ImageFixups, RuntimeCallBecomesRelativeFixupByName) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "end.c", R"(
        #include "tervex.h"
        TX_MAIN { End(); }
    )");
    const ParsedImage image = txtest::imageOf(object);
    const auto text = sectionBytes(dir, object, ".text");
    // The code is the stub, then .text as the compiler wrote it.
    ASSERT_EQ(image.code.size(), 5 + text.size());
    EXPECT_TRUE(codeMatches(image, 5, text));
    EXPECT_EQ(image.code[0], 0xE9);
    EXPECT_EQ(image.wordAt(1), 0);

    ASSERT_EQ(image.relativeFixups.size(), 1u);
    const auto& call = image.relativeFixups[0];
    EXPECT_EQ(call.name, "_fend");
    EXPECT_EQ(image.code[call.offset - 1], 0xE8);  // call rel32
    EXPECT_EQ(image.wordAt(call.offset), -4);
    EXPECT_TRUE(image.absoluteFixups.empty());
    const Records symbols{{"__MAIN", 0}};
    EXPECT_EQ(image.symbols, symbols);
}

TEST(ImageFixups, GlobalDataReferencedByNameWithAddendInTheWord) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "global.c", R"(
        #include "tervex.h"
        int array[8];
        int* pointer;
        TX_MAIN { pointer = &array[4]; }
    )");
    const ParsedImage image = txtest::imageOf(object);
    ASSERT_EQ(image.absoluteFixups.size(), 2u);
    for (const auto& f : image.absoluteFixups) {
        if (f.name == "array") {
            EXPECT_EQ(image.wordAt(f.offset), 16);
        } else {
            EXPECT_EQ(f.name, "pointer");
            EXPECT_EQ(image.wordAt(f.offset), 0);
        }
    }
    EXPECT_TRUE(image.symbol("array").has_value());
    EXPECT_TRUE(image.symbol("pointer").has_value());
}

TEST(ImageFixups, StaticDataReachedThroughOneLabelAtTheSectionStart) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "static.c", R"(
        #include "tervex.h"
        static int first[3];
        static int second[8];
        int* pointer;
        int* other;
        TX_MAIN { pointer = &second[4]; other = &first[1]; }
    )");
    const ParsedImage image = txtest::imageOf(object);
    const auto text = sectionBytes(dir, object, ".text");
    EXPECT_TRUE(codeMatches(image, 5, text));  // every in-place addend kept as it was

    // Each store is `movl $label+addend, global`: the global's word, then the immediate.
    std::map<std::string, int32_t> storedInto;
    for (const auto& f : image.absoluteFixups) {
        if (f.name == "pointer" || f.name == "other") continue;
        EXPECT_EQ(f.name, "_1");
        for (const auto& g : image.absoluteFixups) {
            if (g.offset + 4 == f.offset) storedInto[g.name] = image.wordAt(f.offset);
        }
    }
    ASSERT_EQ(storedInto.size(), 2u);
    // Both statics are reached through the label of .bss, which starts where the object's
    // .bss does relative to the global `pointer` in it.
    const uint32_t bssStart = *image.symbol("pointer") - nmValue(object, "pointer");
    EXPECT_EQ(image.symbol("_1"), bssStart);
    EXPECT_EQ(storedInto["pointer"], static_cast<int32_t>(nmValue(object, "second") + 16));
    EXPECT_EQ(storedInto["other"], static_cast<int32_t>(nmValue(object, "first") + 4));
}

TEST(ImageFixups, CallToStaticFunctionInAnotherSectionThroughALabel) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "static_call.c", R"(
        #include "tervex.h"
        static __attribute__((noinline)) int twice(int x) { return x * 2 + MilliSecs(); }
        int result;
        TX_MAIN { result = twice(21); }
    )",
                                     "-ffunction-sections");
    const ParsedImage image = txtest::imageOf(object);
    const auto twice = sectionBytes(dir, object, ".text.twice");

    const ParsedImage::Record* call = nullptr;
    for (const auto& f : image.relativeFixups) {
        if (f.name != "_fmillisecs") call = &f;
    }
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->name, "_1");
    EXPECT_EQ(image.wordAt(call->offset), -4);
    EXPECT_EQ(image.code[call->offset - 1], 0xE8);
    // The label marks the start of twice's own section, whose bytes are there unchanged.
    ASSERT_TRUE(image.symbol("_1").has_value());
    EXPECT_TRUE(codeMatches(image, *image.symbol("_1"), twice));
    // The call itself lies in __MAIN's own section, not inside twice.
    EXPECT_FALSE(call->offset >= *image.symbol("_1") &&
                 call->offset < *image.symbol("_1") + twice.size());
}

TEST(ImageFixups, LabelsAreNumberedInUseOrderAndAvoidObjectNames) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "labels.s", R"(
        .text
        .globl __MAIN, _1, _3
__MAIN: call _2
        movl $data_a, %eax
        movl $ro_b, %eax
        movl $data_c, %eax
        .long 0
        .reloc .-4, R_386_32, ro_d
        .long 0
        .reloc .-4, R_386_32, ro_b
        ret
_1:     ret
_3:     ret
        .data
data_a: .long 1
data_c: .long 2
        .section .rodata
ro_b:   .long 3
ro_d:   .long 4
)");
    const ParsedImage image = txtest::imageOf(object);
    // .text: call (5), three movs (15), two words (8), three rets: 31 bytes at 5..36.
    // .rodata at 36, .data at 44.
    // _2 is a runtime name the object uses, _1 and _3 are its own: labels start at _4.
    // data_c shares _4 with data_a: gas refers to both through the .data section symbol.
    // ro_d, named directly by its relocation, gets its own label; ro_b shares _5.
    const Records symbols{{"_1", 34}, {"_3", 35}, {"_4", 44},
                          {"_5", 36}, {"_6", 40}, {"__MAIN", 0}};
    EXPECT_EQ(image.symbols, symbols);
    const Records relative{{"_2", 6}};
    EXPECT_EQ(image.relativeFixups, relative);
    const Records absolute{{"_4", 11}, {"_5", 16}, {"_4", 21}, {"_6", 25}, {"_5", 29}};
    EXPECT_EQ(image.absoluteFixups, absolute);
    EXPECT_EQ(image.wordAt(11), 0);
    EXPECT_EQ(image.wordAt(16), 0);
    EXPECT_EQ(image.wordAt(21), 4);  // data_c = .data + 4
    EXPECT_EQ(image.wordAt(25), 0);
    EXPECT_EQ(image.wordAt(29), 0);
}

TEST(ImageFixups, PointerInitialisersInDataBecomeAbsoluteFixups) {
    txtest::TempDir dir;
    const auto object = compileGuest(dir, "table.c", R"(
        #include "tervex.h"
        static const char message[] = "hello";
        const char* const messages[2] = {message, message + 3};
        TX_MAIN { DebugLog(_txStrConst(messages[1])); }
    )");
    const ParsedImage image = txtest::imageOf(object);
    const uint32_t table = *image.symbol("messages");
    Records inTable;
    for (const auto& f : image.absoluteFixups) {
        if (f.offset == table || f.offset == table + 4) inTable.push_back(f);
    }
    ASSERT_EQ(inTable.size(), 2u);
    EXPECT_EQ(inTable[0].name, inTable[1].name);  // one label for message's section
    const uint32_t label = *image.symbol(inTable[0].name);
    const int32_t a = image.wordAt(inTable[0].offset);
    const int32_t b = image.wordAt(inTable[1].offset);
    EXPECT_EQ(b - a, 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image.code[label + a])), "hello");
}

}  // namespace
