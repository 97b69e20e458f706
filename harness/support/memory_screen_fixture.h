// The test fixture for drawing tests: a screen on a back-end without a window that records the lines a
// window would receive, closed again after each test.
#pragma once

#include <gtest/gtest.h>
#include <cstdint>

#include "screen/backend/backend.h"

namespace zopp::testing {

// Installs the recording back-end for the fixture's lifetime and opens a screen of the given mode.
class MemoryScreen : public ::testing::Test {
  protected:
    void openMemoryScreen(std::int32_t width = 640, std::int32_t height = 480, std::int32_t depth = 32,
                          std::int32_t flags = 4);
    void SetUp() override;
    void TearDown() override;

    // Pixel of the work page as stored (32-bit screens: 0xAARRGGBB).
    std::uint32_t screenPixel(std::int32_t x, std::int32_t y) const;
    // Whether a refresh since the last clearDirty() transferred line y to the window (runs one first).
    bool lineDirty(std::int32_t y) const;
    // Runs a refresh and forgets what the window received so far.
    void clearDirty();
};

}  // namespace zopp::testing
