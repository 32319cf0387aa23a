// String commands called as C++ functions: results, in-place reuse of the argument, argument
// errors, and the pool's live count after each call.
#include "string_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdint>
#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include "string_pool.h"
#include "tx_error.h"

namespace tx {
namespace {

using namespace std::string_literals;

// Checks that the statement raises the runtime error with exactly this message.
#define EXPECT_TX_ERROR(statement, text)                              \
    EXPECT_THROW(                                                     \
        {                                                             \
            try {                                                     \
                statement;                                            \
            } catch (const TxEx& ex) {                                \
                EXPECT_STREQ(ex.message, text) << "from " #statement; \
                throw;                                                \
            }                                                         \
        },                                                            \
        TxEx)

class StringCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { stringsCreate(); }
    void TearDown() override {
        EXPECT_EQ(liveStrings(), 0) << "a command leaked or over-released a string";
        stringsDestroy();
    }

    static StrArg arg(std::string_view text) { return StrArg(strNew(text).handle); }
    // The result's text; the result is released.
    static std::string take(Str result) {
        EXPECT_TRUE(stringPool().isLive(result.handle)) << "the result must be a live string";
        std::string text(strText(result.handle));
        strRelease(result.handle);
        return text;
    }
};

TEST_F(StringCommandsTest, LeftAndRight) {
    EXPECT_EQ(take(stringLeft(arg("abc"), 0)), "");
    EXPECT_EQ(take(stringRight(arg("abc"), 0)), "");
    EXPECT_EQ(take(stringLeft(arg("abc"), 2)), "ab");
    EXPECT_EQ(take(stringRight(arg("abc"), 2)), "bc");
    EXPECT_EQ(take(stringLeft(arg("abc"), 10)), "abc");
    EXPECT_EQ(take(stringRight(arg("abc"), 10)), "abc");
    EXPECT_EQ(take(stringRight(arg("abc"), INT_MAX)), "abc");
    EXPECT_EQ(take(stringLeft(arg("a\0bc"s), 3)), "a\0b"s);
    EXPECT_TX_ERROR(stringLeft(arg("abc"), -1), "parameter must be positive");
    EXPECT_TX_ERROR(stringRight(arg("abc"), -1), "parameter must be positive");
    EXPECT_TX_ERROR(stringRight(arg("abc"), INT_MIN), "parameter must be positive");
}

TEST_F(StringCommandsTest, Mid) {
    EXPECT_EQ(take(stringMid(arg("hello"), 2, -1)), "ello");
    EXPECT_EQ(take(stringMid(arg("hello"), 2, 3)), "ell");
    EXPECT_EQ(take(stringMid(arg("hello"), 2, -5)), "ello");
    EXPECT_EQ(take(stringMid(arg("hello"), 2, 0)), "");
    EXPECT_EQ(take(stringMid(arg("hello"), 4, 10)), "lo");
    EXPECT_EQ(take(stringMid(arg("hello"), 1, -1)), "hello");
    EXPECT_EQ(take(stringMid(arg("hello"), 5, -1)), "o");
    EXPECT_EQ(take(stringMid(arg("hello"), 6, -1)), "");
    EXPECT_EQ(take(stringMid(arg("hello"), 9, -1)), "");
    EXPECT_EQ(take(stringMid(arg("hello"), INT_MAX, INT_MAX)), "");
    EXPECT_TX_ERROR(stringMid(arg("hello"), 0, -1), "parameter must be greater than 0");
    EXPECT_TX_ERROR(stringMid(arg("hello"), -3, 2), "parameter must be greater than 0");
}

TEST_F(StringCommandsTest, Instr) {
    EXPECT_EQ(stringInstr(arg("hello"), arg("l"), 1), 3);
    EXPECT_EQ(stringInstr(arg("hello"), arg("l"), 4), 4);
    EXPECT_EQ(stringInstr(arg("hello"), arg("l"), 5), 0);
    EXPECT_EQ(stringInstr(arg("hello"), arg("L"), 1), 0);
    EXPECT_EQ(stringInstr(arg("hello"), arg("llo"), 1), 3);
    EXPECT_EQ(stringInstr(arg("hello"), arg("hello!"), 1), 0);
    EXPECT_EQ(stringInstr(arg("a\0b\0c"s), arg("\0c"s), 1), 4);
    // An empty find matches at the start position while it is not beyond the end.
    EXPECT_EQ(stringInstr(arg("abc"), arg(""), 1), 1);
    EXPECT_EQ(stringInstr(arg("abc"), arg(""), 4), 4);
    EXPECT_EQ(stringInstr(arg("abc"), arg(""), 5), 0);
    EXPECT_EQ(stringInstr(arg(""), arg(""), 1), 1);
    EXPECT_EQ(stringInstr(arg("abc"), arg("c"), INT_MAX), 0);
    EXPECT_TX_ERROR(stringInstr(arg("hello"), arg("l"), 0), "parameter must be greater than 0");
    EXPECT_TX_ERROR(stringInstr(arg("hello"), arg("l"), INT_MIN),
                    "parameter must be greater than 0");
}

// The replacement loop written the direct way: find, splice, resume after the inserted text.
std::string replaceStepByStep(std::string s, const std::string& from, const std::string& to) {
    if (s.empty()) return s;
    size_t pos = 0;
    do {
        const size_t at = s.find(from, pos);
        if (at == std::string::npos) break;
        s.replace(at, from.size(), to);
        pos = at + to.size();
    } while (pos < s.size());
    return s;
}

TEST_F(StringCommandsTest, ReplaceScansLeftToRightWithoutOverlaps) {
    EXPECT_EQ(take(stringReplace(arg(""), arg("a"), arg("b"))), "");
    EXPECT_EQ(take(stringReplace(arg("Aa"), arg("a"), arg("x"))), "Ax");
    EXPECT_EQ(take(stringReplace(arg("aaa"), arg("aa"), arg("b"))), "ba");
    EXPECT_EQ(take(stringReplace(arg("aaa"), arg("a"), arg("aa"))), "aaaaaa");
    EXPECT_EQ(take(stringReplace(arg("a-b-c"), arg("-"), arg(""))), "abc");
    EXPECT_EQ(take(stringReplace(arg("a-b-c"), arg("-"), arg("+"))), "a+b+c");
    EXPECT_EQ(take(stringReplace(arg("a-b-c"), arg("-"), arg(" and "))), "a and b and c");
    EXPECT_EQ(take(stringReplace(arg("abc"), arg("x"), arg("yyyy"))), "abc");
    EXPECT_EQ(take(stringReplace(arg("abc"), arg("abcd"), arg("y"))), "abc");
    EXPECT_EQ(take(stringReplace(arg("x\0y\0"s), arg("\0"s), arg("<0>"))), "x<0>y<0>");
    // Inserted text is not searched again.
    EXPECT_EQ(take(stringReplace(arg("ab"), arg("b"), arg("bb"))), "abb");
    // An empty `from` leaves the string as it is.
    EXPECT_EQ(take(stringReplace(arg("abc"), arg(""), arg("x"))), "abc");
    EXPECT_EQ(take(stringReplace(arg(""), arg(""), arg("x"))), "");
}

TEST_F(StringCommandsTest, ReplaceAgreesWithTheStepByStepLoopOnRandomText) {
    std::mt19937 random(1234);
    auto randomText = [&](size_t maxLength, char letters) {
        std::string s(random() % (maxLength + 1), 'a');
        for (char& c : s) c = static_cast<char>('a' + random() % letters);
        return s;
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string s = randomText(40, 3);
        std::string from = randomText(4, 3);
        if (from.empty()) from = "a";
        const std::string to = randomText(6, 3);
        ASSERT_EQ(take(stringReplace(arg(s), arg(from), arg(to))), replaceStepByStep(s, from, to))
            << "Replace('" << s << "', '" << from << "', '" << to << "')";
    }
}

TEST_F(StringCommandsTest, ReplaceWithTheSameStringAsAnotherArgument) {
    // Compiled code never does this, but a repeated handle must not be released twice: the
    // result must stay live.
    const uint32_t handle = strNew("abc").handle;
    const Str result = stringReplace(StrArg(handle), StrArg(handle), arg("x"));
    EXPECT_EQ(result.handle, handle);
    EXPECT_EQ(take(result), "x");

    const uint32_t other = strNew("ab").handle;
    EXPECT_EQ(take(stringReplace(StrArg(other), arg("b"), StrArg(other))), "aab");
}

TEST_F(StringCommandsTest, CommandsReuseTheirArgumentString) {
    auto sameHandle = [](auto command) {
        StrArg a = arg("  Some Text  ");
        const uint32_t handle = a.handle();
        const Str result = command(std::move(a));
        const bool same = result.handle == handle;
        strRelease(result.handle);
        return same;
    };
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringRepeat(std::move(a), 3); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringLeft(std::move(a), 3); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringRight(std::move(a), 3); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringMid(std::move(a), 2, 3); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringUpper(std::move(a)); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringLower(std::move(a)); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringTrim(std::move(a)); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringLSet(std::move(a), 20); }));
    EXPECT_TRUE(sameHandle([](StrArg a) { return stringRSet(std::move(a), 20); }));
    EXPECT_TRUE(
        sameHandle([](StrArg a) { return stringReplace(std::move(a), arg("e"), arg("eee")); }));
    EXPECT_TRUE(
        sameHandle([](StrArg a) { return stringReplace(std::move(a), arg("Some"), arg("")); }));
}

TEST_F(StringCommandsTest, AnArgumentNamingNoStringReadsAsEmpty) {
    const uint32_t dead = strNew("gone").handle;
    strRelease(dead);
    EXPECT_EQ(take(stringLeft(StrArg(dead), 2)), "");
    EXPECT_EQ(take(stringLSet(StrArg(0), 2)), "  ");
    EXPECT_EQ(take(stringRepeat(StrArg(0), 2)), "");
    EXPECT_EQ(take(stringReplace(StrArg(0), arg("a"), arg("b"))), "");
    EXPECT_EQ(stringLen(StrArg(dead)), 0);
    EXPECT_EQ(stringAsc(StrArg(0)), -1);
}

TEST_F(StringCommandsTest, CaseConversionTouchesOnlyAsciiLetters) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string upper = take(stringUpper(arg(all)));
    const std::string lower = take(stringLower(arg(all)));
    ASSERT_EQ(upper.size(), 256u);
    ASSERT_EQ(lower.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const bool small = b >= 'a' && b <= 'z', capital = b >= 'A' && b <= 'Z';
        EXPECT_EQ(static_cast<unsigned char>(upper[b]), small ? b - 32 : b) << b;
        EXPECT_EQ(static_cast<unsigned char>(lower[b]), capital ? b + 32 : b) << b;
    }
    EXPECT_EQ(take(stringUpper(arg("Hello, World 42!"))), "HELLO, WORLD 42!");
    EXPECT_EQ(take(stringLower(arg("Hello, World 42!"))), "hello, world 42!");
}

TEST_F(StringCommandsTest, TrimRemovesNonGraphicBytesAtBothEnds) {
    EXPECT_EQ(take(stringTrim(arg(" \t \t "))), "");
    EXPECT_EQ(take(stringTrim(arg(""))), "");
    EXPECT_EQ(take(stringTrim(arg("  a b  "))), "a b");
    EXPECT_EQ(take(stringTrim(arg("\r\n\tword\x7f\v\f\x01"))), "word");
    EXPECT_EQ(take(stringTrim(arg("\0x\0"s))), "x");
    EXPECT_EQ(take(stringTrim(arg("a\t\x01 b"))), "a\t\x01 b");
    EXPECT_EQ(take(stringTrim(arg("!~"))), "!~");
    // Bytes 128..255 are text: UTF-8 and Latin-1 characters at the ends stay whole.
    EXPECT_EQ(take(stringTrim(arg(" caf\xC3\xA9 "))), "caf\xC3\xA9");
    EXPECT_EQ(take(stringTrim(arg("\t\xA0\xFF\x80\n"))), "\xA0\xFF\x80");
    EXPECT_EQ(take(stringTrim(arg(" \xE2\x82\xAC 5"))), "\xE2\x82\xAC 5");
}

TEST_F(StringCommandsTest, LSetAndRSetPadOrCut) {
    EXPECT_EQ(take(stringLSet(arg("abc"), 5)), "abc  ");
    EXPECT_EQ(take(stringRSet(arg("abc"), 5)), "  abc");
    EXPECT_EQ(take(stringLSet(arg("abcdef"), 3)), "abc");
    EXPECT_EQ(take(stringRSet(arg("abcdef"), 3)), "def");
    EXPECT_EQ(take(stringLSet(arg("abc"), 0)), "");
    EXPECT_EQ(take(stringRSet(arg("abc"), 0)), "");
    EXPECT_EQ(take(stringLSet(arg("abc"), 3)), "abc");
    EXPECT_EQ(take(stringRSet(arg(""), 2)), "  ");
    EXPECT_TX_ERROR(stringLSet(arg("abc"), -1), "parameter must be positive");
    EXPECT_TX_ERROR(stringRSet(arg("abc"), -1), "parameter must be positive");
}

TEST_F(StringCommandsTest, StringRepeats) {
    EXPECT_EQ(take(stringRepeat(arg("ab"), 3)), "ababab");
    EXPECT_EQ(take(stringRepeat(arg("ab"), 1)), "ab");
    EXPECT_EQ(take(stringRepeat(arg("ab"), 0)), "");
    EXPECT_EQ(take(stringRepeat(arg("ab"), -2)), "");
    EXPECT_EQ(take(stringRepeat(arg(""), 1000)), "");
    const std::string many = take(stringRepeat(arg("xyz"), 1001));
    ASSERT_EQ(many.size(), 3003u);
    for (size_t i = 0; i < many.size(); i += 3) ASSERT_EQ(many.substr(i, 3), "xyz") << i;
}

TEST_F(StringCommandsTest, ResultsTooLargeToBuildEndTheProgram) {
    EXPECT_TX_ERROR(stringRepeat(arg("ab"), INT_MAX), "Out of string memory");
    EXPECT_TX_ERROR(stringLSet(arg("ab"), INT_MAX), "Out of string memory");
    EXPECT_TX_ERROR(stringRSet(arg("ab"), INT_MAX), "Out of string memory");
    // 2^16 copies of 2^13 bytes is 2^29 bytes, twice the limit.
    EXPECT_TX_ERROR(
        stringReplace(arg(std::string(65536, 'a')), arg("a"), arg(std::string(8192, 'b'))),
        "Out of string memory");
}

TEST_F(StringCommandsTest, CharacterCodes) {
    const std::string zero = take(stringChr(0));
    EXPECT_EQ(zero, "\0"s);
    EXPECT_EQ(take(stringChr(65)), "A");
    EXPECT_EQ(take(stringChr(321)), "A");
    EXPECT_EQ(take(stringChr(-1)), "\xFF");
    EXPECT_EQ(stringAsc(arg("")), -1);
    EXPECT_EQ(stringAsc(arg("A")), 65);
    EXPECT_EQ(stringAsc(arg("\xFFxyz")), 255);
    EXPECT_EQ(stringAsc(arg("\xC8")), 200);
    EXPECT_EQ(stringAsc(arg("\0a"s)), 0);
    EXPECT_EQ(stringLen(arg("")), 0);
    EXPECT_EQ(stringLen(arg("a\0b\0"s)), 4);
}

TEST_F(StringCommandsTest, HexAndBinShowAllThirtyTwoBits) {
    EXPECT_EQ(take(stringHex(255)), "000000FF");
    EXPECT_EQ(take(stringHex(-1)), "FFFFFFFF");
    EXPECT_EQ(take(stringHex(0)), "00000000");
    EXPECT_EQ(take(stringHex(0x1234ABCD)), "1234ABCD");
    EXPECT_EQ(take(stringHex(INT_MIN)), "80000000");
    EXPECT_EQ(take(stringBin(5)), std::string(29, '0') + "101");
    EXPECT_EQ(take(stringBin(-1)), std::string(32, '1'));
    EXPECT_EQ(take(stringBin(0)), std::string(32, '0'));
    EXPECT_EQ(take(stringBin(INT_MIN)), "1" + std::string(31, '0'));
}

TEST_F(StringCommandsTest, DateAndTimeTextUsesEnglishMonths) {
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    t.tm_year = 126;
    t.tm_mday = 5;
    for (int m = 0; m < 12; ++m) {
        t.tm_mon = m;
        EXPECT_EQ(formatDate(t), "05 "s + months[m] + " 2026");
    }
    t.tm_mday = 31;
    t.tm_year = 99;
    EXPECT_EQ(formatDate(t), "31 Dec 1999");
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 31;
    EXPECT_EQ(formatTime(t), "09:05:31");
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 0;
    EXPECT_EQ(formatTime(t), "23:59:00");
}

// strftime in the "C" locale, for the current local time.
std::string cFormat(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[64];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, format, &local));
}

TEST_F(StringCommandsTest, CurrentDateAndTimeMatchTheLocalClock) {
    // Whatever locale the host set (a non-English one where installed), the text is the one of
    // the "C" locale.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* hostLocale = "C";
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            hostLocale = name;
            break;
        }
    }
    bool compared = false;
    // The clock may tick between readings: retry until the readings around the calls agree.
    for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
        std::setlocale(LC_ALL, "C");
        const std::string before = cFormat("%d %b %Y|%H:%M:%S");
        std::setlocale(LC_ALL, hostLocale);
        const std::string date = take(currentDate());
        const std::string time = take(currentTime());
        std::setlocale(LC_ALL, "C");
        if (cFormat("%d %b %Y|%H:%M:%S") != before) continue;
        EXPECT_EQ(date + "|" + time, before) << "host locale " << hostLocale;
        compared = true;
    }
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_TRUE(compared);
}

}  // namespace
}  // namespace tx
