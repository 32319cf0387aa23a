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

// The commands the basic module registers before the support routines.
constexpr const char* kBasicCommands[] = {"End",
                                          "Stop",
                                          "AppTitle$title$close_prompt=\"\"",
                                          "RuntimeError$message",
                                          "ExecFile$command",
                                          "Delay%millisecs",
                                          "%MilliSecs",
                                          "$CommandLine",
                                          "$SystemProperty$property",
                                          "$GetEnv$env_var",
                                          "SetEnv$env_var$value",
                                          "%CreateTimer%hertz",
                                          "%WaitTimer%timer",
                                          "FreeTimer%timer",
                                          "DebugLog$text"};

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
    const std::vector<std::string> basic = texts(kBasicCommands);

    // Located by its first signature: the number of basic entries before it may change.
    const auto first = std::find(signatures.begin(), signatures.end(), math.front());
    ASSERT_NE(first, signatures.end()) << "the math block is missing";
    const auto start = static_cast<size_t>(first - signatures.begin());
    const size_t count = math.size() + strings.size();
    ASSERT_LE(start + count, signatures.size());

    // Only the basic module's commands and its support routines come before math.
    ASSERT_GE(start, basic.size());
    for (size_t i = 0; i < start; ++i) {
        const std::string& s = signatures[i];
        const bool basicCommand = std::find(basic.begin(), basic.end(), s) != basic.end();
        EXPECT_TRUE(basicCommand || s[0] == '_' || s == "RuntimeStats")
            << "entry " << i << " (" << s << ") is not the basic module's";
    }

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
