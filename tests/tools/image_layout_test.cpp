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

}  // namespace
