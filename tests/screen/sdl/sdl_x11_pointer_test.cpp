#include "screen/sdl/sdl_x11_pointer.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

TEST(DoubleClickSeries, CountsTheQuickClosePressesOfASeries) {
    DoubleClickSeries series;
    EXPECT_EQ(series.press(0, 1000, 100, 100), 1);
    EXPECT_EQ(series.press(0, 1500, 132, 68), 2);  // 500 ms and 32 pixels are still close
    EXPECT_EQ(series.press(0, 1600, 132, 68), 3);
    EXPECT_EQ(series.press(0, 1700, 132, 68), 4);
}

TEST(DoubleClickSeries, ALateFarOrOtherButtonPressStartsAnewSeries) {
    DoubleClickSeries series;
    EXPECT_EQ(series.press(0, 1000, 100, 100), 1);
    EXPECT_EQ(series.press(0, 1501, 100, 100), 1);  // too late
    EXPECT_EQ(series.press(0, 1600, 133, 100), 1);  // too far
    EXPECT_EQ(series.press(1, 1650, 133, 100), 1);  // another button has its own series
    EXPECT_EQ(series.press(0, 1700, 133, 100), 2);
    EXPECT_EQ(series.press(1, 1750, 133, 100), 2);
}

TEST(DoubleClickSeries, SurvivesTheServerClockWrapping) {
    DoubleClickSeries series;
    EXPECT_EQ(series.press(0, 0xFFFFFF00u, 10, 10), 1);
    EXPECT_EQ(series.press(0, 0x00000010u, 10, 10), 2);
}

}  // namespace
}  // namespace zopp
