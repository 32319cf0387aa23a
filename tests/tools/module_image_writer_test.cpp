// What the module image writer refuses, and where tximage puts the sections and COMMON symbols
// of an object in the code block. The byte format itself is read back independently by the GNU
// ld comparison and by every guest program the runtime links.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "code_layout.h"
#include "error.h"
#include "module_image.h"
#include "module_image_builder.h"
#include "module_image_writer.h"
#include "tools_test_support.h"

namespace {

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
    try {
        (void)largest.finish();
        FAIL() << "an image past the limit was built";
    } catch (const tximage::Error& e) {
        EXPECT_NE(std::string(e.what()).find("a module image holds at most 256 MiB"),
                  std::string::npos)
            << e.what();
    }
}

TEST(ImageLayout, CommonSymbolsFollowBssAtTheirAlignment) {
    txtest::TempDir dir;
    const auto object = txtest::compileGuest(dir, "common.s", R"(
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
    const auto image = tx::readModuleImage(tximage::buildModuleImage(txtest::fileBytes(object)));
    ASSERT_TRUE(image);
    // .text at 5 (1 byte), .bss at 6 (3 bytes), then flag 9, pool 16..56, last 56..60.
    const std::vector<tx::ImageRecord> symbols{
        {"__MAIN", 0}, {"buffer", 6}, {"flag", 9}, {"last", 56}, {"pool", 16}};
    EXPECT_EQ(image->symbols, symbols);
    EXPECT_EQ(image->code.size(), 60u);
}

}  // namespace
