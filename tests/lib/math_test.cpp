// Math commands called as C++ functions: single-precision edge values bit for bit, and the
// random generator's sequence and ranges.
#include "math_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "library_modules.h"

namespace tx {
namespace {

uint32_t bits(float value) {
    return std::bit_cast<uint32_t>(value);
}

#define EXPECT_BITS(actual, expected) EXPECT_EQ(bits(actual), bits(expected)) << (actual)

TEST(MathTest, AnglesGoThroughTheSinglePrecisionDegreeProduct) {
    // The radian value is a float product, so exact angles give the results for the float
    // nearest to pi, pi/2 and 2 pi, not 0.
    EXPECT_BITS(mathSin(180), -8.742278e-8f);
    EXPECT_BITS(mathCos(90), -4.371139e-8f);
    EXPECT_BITS(mathSin(360), 1.7484555e-7f);
    EXPECT_BITS(mathTan(90), -22877332.0f);
    EXPECT_BITS(mathSin(30), 0.5f);
    EXPECT_BITS(mathTan(45), 1.0f);
    EXPECT_BITS(mathCos(0), 1.0f);
    EXPECT_BITS(mathSin(-90), -1.0f);
    EXPECT_BITS(mathCos(180), -1.0f);
}

TEST(MathTest, ArcFunctionsScaleByTheFloatDegreeFactor) {
    EXPECT_BITS(mathASin(1), 90.0f);
    EXPECT_BITS(mathASin(-1), -90.0f);
    EXPECT_BITS(mathACos(0), 90.0f);
    EXPECT_BITS(mathACos(-1), 180.0f);
    EXPECT_BITS(mathACos(1), 0.0f);
    EXPECT_BITS(mathATan(1), 45.0f);
    EXPECT_BITS(mathATan(0), 0.0f);
    EXPECT_GT(mathATan(1e30f), 89.99f);
    EXPECT_LE(mathATan(1e30f), 90.0f);
    EXPECT_LT(mathATan(-1e30f), -89.99f);

    // y first, x second.
    EXPECT_BITS(mathATan2(1, 0), 90.0f);
    EXPECT_BITS(mathATan2(0, 1), 0.0f);
    EXPECT_BITS(mathATan2(0, -1), 180.0f);
    EXPECT_BITS(mathATan2(-1, 0), -90.0f);
    EXPECT_BITS(mathATan2(1, 1), 45.0f);
    EXPECT_BITS(mathATan2(-1, -1), -135.0f);
}

TEST(MathTest, RootsRoundingAndLogarithms) {
    EXPECT_BITS(mathSqr(16), 4.0f);
    EXPECT_BITS(mathSqr(2), 1.41421354f);
    EXPECT_BITS(mathFloor(-0.5f), -1.0f);
    EXPECT_BITS(mathFloor(2.9f), 2.0f);
    EXPECT_BITS(mathCeil(2.1f), 3.0f);
    EXPECT_BITS(mathCeil(-2.9f), -2.0f);
    EXPECT_BITS(mathFloor(16777216.0f), 16777216.0f);
    EXPECT_BITS(mathExp(0), 1.0f);
    EXPECT_BITS(mathExp(1), 2.71828175f);
    EXPECT_BITS(mathLog(1), 0.0f);
    EXPECT_BITS(mathLog(2), 0.693147182f);
    EXPECT_BITS(mathLog(0.5f), -0.693147182f);
    EXPECT_BITS(mathLog(2.71828175f), 0.99999994f);  // the float below e
    EXPECT_BITS(mathLog10(1000), 3.0f);
    EXPECT_BITS(mathLog10(1), 0.0f);
    EXPECT_BITS(mathLog10(0.01f), -2.0f);
}

TEST(MathTest, OutOfDomainArgumentsGiveNaNOrInfinity) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(std::isnan(mathSqr(-1)));
    EXPECT_TRUE(std::isnan(mathLog(-1)));
    EXPECT_TRUE(std::isnan(mathLog10(-1)));
    EXPECT_TRUE(std::isnan(mathASin(2)));
    EXPECT_TRUE(std::isnan(mathACos(-1.5f)));
    EXPECT_EQ(mathLog(0), -inf);
    EXPECT_EQ(mathLog10(0), -inf);
    EXPECT_EQ(mathExp(1000), inf);
    EXPECT_EQ(mathExp(-1000), 0.0f);
    EXPECT_TRUE(std::isnan(mathSin(inf)));
}

MathModule& math() {
    return ModuleState<MathModule>::running();
}

class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mathCreate()); }
    void TearDown() override { mathDestroy(); }
};

TEST_F(RandomTest, FirstFiveStepsAfterStartUp) {
    EXPECT_EQ(math().randomState, 4660);
    const int32_t states[] = {224942860, 539475828, 650989866, 1951098782, 1446483090};
    const double values[] = {0.35565948486328125, 0.74787139892578125, 0.31705474853515625,
                             0.40476226806640625, 0.58036041259765625};
    for (int i = 0; i < 5; ++i) {
        // Rnd(0, 1) is r itself: r x 1 + 0 is exact.
        EXPECT_EQ(double{mathRnd(math(), 0, 1)}, values[i]) << "step " << i;
        EXPECT_EQ(math().randomState, states[i]) << "step " << i;
    }

    mathCreate();
    EXPECT_EQ(mathRand(math(), 1, 6), 3);
    mathCreate();
    EXPECT_EQ(double{mathRnd(math(), 1, 0)}, 0.64434051513671875);  // Rnd(1) = 1 - r
}

TEST_F(RandomTest, CreateRestartsTheSequence) {
    mathSeedRnd(math(), 999);
    for (int i = 0; i < 10; ++i) mathRand(math(), 1, 100);
    mathDestroy();
    mathCreate();
    EXPECT_EQ(math().randomState, 4660);
    EXPECT_EQ(mathRand(math(), 1, 6), 3);
}

TEST_F(RandomTest, SeedKeepsTheLowSixteenBitsAndNeverZero) {
    auto sequenceAfter = [](int32_t seed) {
        mathSeedRnd(math(), seed);
        std::vector<int32_t> states;
        for (int i = 0; i < 4; ++i) {
            mathRnd(math(), 0, 1);
            states.push_back(math().randomState);
        }
        return states;
    };
    const auto one = sequenceAfter(1);
    EXPECT_EQ(sequenceAfter(0), one);
    EXPECT_EQ(sequenceAfter(65537), one);
    EXPECT_NE(sequenceAfter(2), one);

    mathSeedRnd(math(), -1);
    EXPECT_EQ(math().randomState, 65535);
    mathSeedRnd(math(), 0x12345);
    EXPECT_EQ(math().randomState, 0x2345);
    mathSeedRnd(math(), 65536);
    EXPECT_EQ(math().randomState, 1);
    mathSeedRnd(math(), INT_MIN);
    EXPECT_EQ(math().randomState, 1);
}

TEST_F(RandomTest, EveryCallTakesExactlyOneStep) {
    mathSeedRnd(math(), 7);
    mathRand(math(), 5, 5);
    const int32_t afterOne = math().randomState;
    mathSeedRnd(math(), 7);
    mathRnd(math(), 3, 3);
    EXPECT_EQ(math().randomState, afterOne);
    EXPECT_NE(afterOne, 7);

    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(mathRand(math(), 5, 5), 5);
        EXPECT_EQ(mathRnd(math(), 2.5f, 2.5f), 2.5f);
    }
}

TEST_F(RandomTest, RandCoversItsRangeInEitherOrder) {
    std::vector<int32_t> up, down;
    mathSeedRnd(math(), 42);
    for (int i = 0; i < 2000; ++i) up.push_back(mathRand(math(), 1, 10));
    mathSeedRnd(math(), 42);
    for (int i = 0; i < 2000; ++i) down.push_back(mathRand(math(), 10, 1));
    EXPECT_EQ(up, down);
    EXPECT_EQ(std::set<int32_t>(up.begin(), up.end()),
              (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    std::set<int32_t> bits;
    for (int i = 0; i < 200; ++i) bits.insert(mathRand(math(), 0, 1));
    EXPECT_EQ(bits, (std::set<int32_t>{0, 1}));

    std::set<int32_t> negative;
    for (int i = 0; i < 500; ++i) negative.insert(mathRand(math(), -3, -1));
    EXPECT_EQ(negative, (std::set<int32_t>{-3, -2, -1}));
}

TEST_F(RandomTest, WideRangesStayInsideTheirBounds) {
    // Ranges of more than 2^31 integers would wrap in 32 bits; they must still stay inside.
    const std::pair<int32_t, int32_t> ranges[] = {
        {INT_MIN, INT_MAX}, {-2000000000, 2000000000}, {0, INT_MAX}, {INT_MIN, 0}, {-5, INT_MAX}};
    for (const auto& [lo, hi] : ranges) {
        int32_t least = hi, most = lo;
        for (int i = 0; i < 200000; ++i) {
            const int32_t v = mathRand(math(), lo, hi);
            ASSERT_GE(v, lo);
            ASSERT_LE(v, hi);
            least = std::min(least, v);
            most = std::max(most, v);
        }
        // Spread over the range, not stuck at one end.
        const double width = static_cast<double>(hi) - lo;
        EXPECT_LT(static_cast<double>(least) - lo, width * 0.01) << lo << ".." << hi;
        EXPECT_GT(static_cast<double>(most) - lo, width * 0.99) << lo << ".." << hi;
    }
}

TEST_F(RandomTest, RndLiesBetweenItsBoundsInEitherOrder) {
    for (int i = 0; i < 5000; ++i) {
        const float a = mathRnd(math(), 10, 20);
        EXPECT_GT(a, 10.0f);
        EXPECT_LT(a, 20.0f);
        const float b = mathRnd(math(), 20, 10);
        EXPECT_GT(b, 10.0f);
        EXPECT_LT(b, 20.0f);
        const float c = mathRnd(math(), -4, 0);
        EXPECT_GT(c, -4.0f);
        EXPECT_LT(c, 0.0f);
    }
    EXPECT_EQ(mathRnd(math(), 0, 0), 0.0f);
}

}  // namespace
}  // namespace tx
