// The math and string modules' blocks in the registry the runtime interface enumerates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "runtime_interface.h"

namespace tx {
namespace {

constexpr const char* kMathSignatures[] = {
    "#Sin#degrees", "#Cos#degrees",   "#Tan#degrees",         "#ASin#float",
    "#ACos#float",  "#ATan#float",    "#ATan2#floata#floatb", "#Sqr#float",
    "#Floor#float", "#Ceil#float",    "#Exp#float",           "#Log#float",
    "#Log10#float", "#Rnd#from#to=0", "%Rand%from%to=1",      "SeedRnd%seed",
};

constexpr const char* kStringSignatures[] = {
    "$String$string%repeat",
    "$Left$string%count",
    "$Right$string%count",
    "$Replace$string$from$to",
    "%Instr$string$find%from=1",
    "$Mid$string%start%count=-1",
    "$Upper$string",
    "$Lower$string",
    "$Trim$string",
    "$LSet$string%size",
    "$RSet$string%size",
    "$Chr%ascii",
    "%Asc$string",
    "%Len$string",
    "$Hex%value",
    "$Bin%value",
    "$CurrentDate",
    "$CurrentTime",
};

std::vector<std::string> texts(std::span<const char* const> list) {
    return {list.begin(), list.end()};
}

TEST(LibraryRegistryTest, MathAndStringFollowTheBasicModuleInOrder) {
    RuntimeInterface& rt = runtimeGetRuntime();
    std::vector<std::string> signatures;
    std::vector<uint32_t> addresses;
    while (const char* s = rt.nextSymbol()) {
        signatures.emplace_back(s);
        addresses.push_back(rt.symbolValue(s));
    }
    const std::vector<std::string> math = texts(kMathSignatures);
    const std::vector<std::string> strings = texts(kStringSignatures);

    // The basic module registers exactly 68 entries, "RuntimeStats" last; math follows.
    constexpr size_t start = 68;
    const size_t count = math.size() + strings.size();
    ASSERT_LE(start + count, signatures.size());
    EXPECT_EQ(signatures[start - 1], "RuntimeStats");
    const auto first = signatures.begin() + static_cast<std::ptrdiff_t>(start);

    const auto mathEnd = signatures.begin() + static_cast<std::ptrdiff_t>(start + math.size());
    EXPECT_EQ(std::vector<std::string>(first, mathEnd), math);
    EXPECT_EQ(
        std::vector<std::string>(mathEnd, mathEnd + static_cast<std::ptrdiff_t>(strings.size())),
        strings);

    // 34 distinct commands: every one has its own address.
    const auto addressesFrom = addresses.begin() + static_cast<std::ptrdiff_t>(start);
    const std::set<uint32_t> distinct(addressesFrom,
                                      addressesFrom + static_cast<std::ptrdiff_t>(count));
    EXPECT_EQ(distinct.size(), count);
    EXPECT_EQ(distinct.count(0xFFFF'FFFFu), 0u);
    // Each signature is registered once.
    for (const std::vector<std::string>* block : {&math, &strings})
        for (const std::string& s : *block)
            EXPECT_EQ(std::count(signatures.begin(), signatures.end(), s), 1) << s;
}

}  // namespace
}  // namespace tx
