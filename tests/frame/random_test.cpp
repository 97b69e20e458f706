#include "frame/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "frame/timing.h"
#include "tests/frame/random_reference.h"

namespace zopp {
namespace {

using testing::referenceTwister;
using testing::unitOf;

constexpr int kDraws = 2500;  // four block regenerations

std::vector<double> draws(int count) {
    std::vector<double> values(count);
    for (double& value : values)
        value = randomUnit(1.0f);
    return values;
}

void expectMatchesReference(double seed, std::uint32_t word0) {
    seedRandom(seed, kDefaultRandomAlgorithm);
    std::mt19937 reference = referenceTwister(word0);
    for (int i = 0; i < kDraws; ++i) {
        ASSERT_EQ(randomUnit(1.0f), unitOf(reference())) << "seed " << seed << ", draw " << i;
    }
}

TEST(RandomUnit, MatchesStandardTwisterLoadedWithTheSeededState) {
    expectMatchesReference(0.0, 0);
    expectMatchesReference(12345.0, 12345);
    expectMatchesReference(-5.5, 0xFFFFFFFBu);  // -5 in two's complement
    expectMatchesReference(7.9, 7);
    expectMatchesReference(4294967296.0 + 777.0, 777);
    expectMatchesReference(-4294967296.0 * 3 - 2.25, 0xFFFFFFFEu);
    expectMatchesReference(9007199254740993.0, 0);  // 2^53 + 1 rounds to 2^53 in double
}

TEST(RandomUnit, EveryAlgorithmNumberRunsTheTwister) {
    for (const std::int32_t algorithm : {1, 2, 3, 4, 99, -7}) {
        seedRandom(42.0, algorithm);
        std::mt19937 reference = referenceTwister(42);
        for (int i = 0; i < 700; ++i)
            ASSERT_EQ(randomUnit(1.0f), unitOf(reference())) << algorithm;
    }
}

TEST(RandomUnit, SeedsDifferingOnlyInTheirFractionAreTheSame) {
    seedRandom(7.2, kDefaultRandomAlgorithm);
    const std::vector<double> first = draws(kDraws);
    seedRandom(7.9, kDefaultRandomAlgorithm);
    EXPECT_EQ(draws(kDraws), first);
    seedRandom(8.0, kDefaultRandomAlgorithm);
    EXPECT_NE(draws(kDraws), first);
}

TEST(RandomUnit, ArgumentZeroRepeatsTheLastResultWithoutDrawing) {
    seedRandom(5.0, kDefaultRandomAlgorithm);
    std::mt19937 reference = referenceTwister(5);
    const double drawn = randomUnit(1.0f);
    EXPECT_EQ(drawn, unitOf(reference()));
    EXPECT_EQ(randomUnit(0.0f), drawn);
    EXPECT_EQ(randomUnit(-0.0f), drawn);
    EXPECT_EQ(randomUnit(0.5f), unitOf(reference())) << "any argument but 0 draws";
    EXPECT_EQ(randomUnit(-3.0f), unitOf(reference()));
}

TEST(RandomUnit, ResultsStayInsideTheUnitInterval) {
    seedRandom(-1234567.0, kDefaultRandomAlgorithm);
    for (int i = 0; i < 100000; ++i) {
        const double value = randomUnit(1.0f);
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        ASSERT_EQ(value, std::ldexp(std::floor(std::ldexp(value, 32)), -32)) << "a multiple of 2^-32";
    }
}

TEST(RandomUnit, MinusOneSeedsFromTheTimer) {
    // Retried when the timer crosses a whole second between the two readings.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const double before = timerSeconds();
        seedRandom(-1.0, kDefaultRandomAlgorithm);
        const std::vector<double> fromTimer = draws(10);
        const double after = timerSeconds();
        if (std::trunc(before) != std::trunc(after)) continue;
        seedRandom(before, kDefaultRandomAlgorithm);
        EXPECT_EQ(draws(10), fromTimer);
        return;
    }
    FAIL() << "the timer kept crossing whole seconds";
}

TEST(RandomUnit, SeedsWithoutAnIntegerValueCountAsZero) {
    seedRandom(0.0, kDefaultRandomAlgorithm);
    const std::vector<double> zero = draws(100);
    for (const double seed :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        seedRandom(seed, kDefaultRandomAlgorithm);
        EXPECT_EQ(draws(100), zero) << seed;
    }
}

// A state taken mid-block and restored later draws what the generator would have drawn; a state it cannot
// be in is refused and changes nothing.
TEST(RandomState, RestoredStateDrawsOnAsBeforeAndImpossibleOnesAreRefused) {
    seedRandom(7, 0);
    for (int i = 0; i < 700; ++i)
        randomUnit(1);
    const RandomState taken = randomState();
    const double next[] = {randomUnit(1), randomUnit(1)};
    RandomState beyond = taken, offGrid = taken, negative = taken;
    beyond.index = 625;
    offGrid.lastRandom = 0.5 + 1e-12;
    negative.selected = -1;
    for (const RandomState& bad : {beyond, offGrid, negative})
        EXPECT_FALSE(restoreRandomState(bad));
    EXPECT_EQ(randomUnit(0), next[1]);
    ASSERT_TRUE(restoreRandomState(taken));
    EXPECT_EQ(randomUnit(0), taken.lastRandom);
    EXPECT_EQ(randomUnit(1), next[0]);
    EXPECT_EQ(randomUnit(1), next[1]);
}

TEST(RandomAlgorithm, CompatibilityLevelPicksTheDefault) {
    EXPECT_EQ(defaultRandomAlgorithm(0), kMersenneTwister);
    EXPECT_EQ(defaultRandomAlgorithm(1), 1);
    EXPECT_EQ(defaultRandomAlgorithm(2), 1);
    EXPECT_EQ(defaultRandomAlgorithm(3), 4);
    EXPECT_EQ(defaultRandomAlgorithm(4), kMersenneTwister);
    EXPECT_EQ(defaultRandomAlgorithm(100), kMersenneTwister);
}

}  // namespace
}  // namespace zopp
