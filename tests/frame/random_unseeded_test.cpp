// Its own executable: the generator must not have been used before these checks.
#include <gtest/gtest.h>

#include "frame/random.h"
#include "tests/frame/random_reference.h"

namespace zopp {
namespace {

TEST(RandomUnit, UnseededGeneratorSeedsWithZeroAndRemembersNothingYet) {
    EXPECT_EQ(randomUnit(0.0f), 0.0) << "no number was drawn yet";
    std::mt19937 reference = testing::referenceTwister(0);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(randomUnit(1.0f), testing::unitOf(reference())) << i;
}

}  // namespace
}  // namespace zopp
