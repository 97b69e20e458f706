// The test fixture for drawing tests: a screen on the null back-end, so they run on the frame
// buffer alone, closed again after each test.
#pragma once

#include <gtest/gtest.h>
#include <cstdint>

#include "screen/window/backend.h"

namespace zopp::testing {

// Installs the null back-end for the fixture's lifetime and opens a screen of the given mode.
class MemoryScreen : public ::testing::Test {
  protected:
    void openMemoryScreen(std::int32_t width = 640, std::int32_t height = 480, std::int32_t depth = 32,
                          std::int32_t flags = 4);
    void SetUp() override;
    void TearDown() override;

    // Pixel of the work page as stored (32-bit screens: 0xAARRGGBB).
    std::uint32_t screenPixel(std::int32_t x, std::int32_t y) const;
    bool lineDirty(std::int32_t y) const;
    void clearDirty();
};

}  // namespace zopp::testing
