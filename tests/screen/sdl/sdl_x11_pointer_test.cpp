#include "screen/sdl/sdl_x11_pointer.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

TEST(DoubleClickSeries, EverySecondPressOfAQuickCloseSeriesIsADoubleClick) {
    DoubleClickSeries series;
    EXPECT_FALSE(series.press(0, 1000, 100, 100));
    EXPECT_TRUE(series.press(0, 1500, 132, 68));  // 500 ms and 32 pixels are still close
    EXPECT_FALSE(series.press(0, 1600, 132, 68));
    EXPECT_TRUE(series.press(0, 1700, 132, 68));
}

TEST(DoubleClickSeries, ALateFarOrOtherButtonPressStartsAnewSeries) {
    DoubleClickSeries series;
    EXPECT_FALSE(series.press(0, 1000, 100, 100));
    EXPECT_FALSE(series.press(0, 1501, 100, 100));  // too late
    EXPECT_FALSE(series.press(0, 1600, 133, 100));  // too far
    EXPECT_FALSE(series.press(1, 1650, 133, 100));  // another button has its own series
    EXPECT_TRUE(series.press(0, 1700, 133, 100));
    EXPECT_TRUE(series.press(1, 1750, 133, 100));
}

TEST(DoubleClickSeries, SurvivesTheServerClockWrapping) {
    DoubleClickSeries series;
    EXPECT_FALSE(series.press(0, 0xFFFFFF00u, 10, 10));
    EXPECT_TRUE(series.press(0, 0x00000010u, 10, 10));
}

}  // namespace
}  // namespace zopp
