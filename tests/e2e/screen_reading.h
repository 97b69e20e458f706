// Reading the game's window back as a player would: pictures from dat\, a grab of the window, the dice
// in the tray, the numbers in the scoreboard cells and the texts on the button, all compared pixel for
// pixel (the window shows the frame buffer unscaled, so every drawn picture and glyph appears exactly).
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "harness/desktop/x11_harness.h"

namespace zopp::e2e {

// A rectangle of 0xRRGGBB pixels, row by row from the top left corner.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    void set(int x, int y, std::uint32_t colour) { pixels[static_cast<std::size_t>(y * width + x)] = colour; }
    // Whether the part of this picture at (x, y) equals `part` in every pixel (false when it sticks out).
    bool shows(int x, int y, const Picture& part) const;
    // The part of this picture at (x, y), which must lie inside it.
    Picture crop(int x, int y, int w, int h) const;
};

// An uncompressed 24-bit BMP file, bottom-up or top-down; throws std::runtime_error on anything else.
Picture readBmp(const std::filesystem::path& file);

// The window's client area as it is shown now.
Picture grab(XSession& session, ::Window window);

// The built-in 8×16 font: 256 glyphs, one byte a row, bit 7 the leftmost pixel.
class Font {
  public:
    explicit Font(const std::filesystem::path& file);  // throws std::runtime_error unless 4096 bytes
    bool set(unsigned char c, int column, int row) const {
        return (glyphs_[c * 16u + row] >> (7 - column)) & 1;
    }
    // `base` with text written into it the way the game does: set bits in colour, the rest untouched.
    Picture write(Picture base, int x, int y, const std::string& text, std::uint32_t colour) const;

  private:
    std::array<unsigned char, 4096> glyphs_{};
};

// The pictures of dat\ that the board is made of.
struct BoardPictures {
    explicit BoardPictures(const std::filesystem::path& datFolder);
    std::array<Picture, 7> dieFaces;  // 0 is the face of a die not thrown or picked up
    Picture background, plainCell, sumCell, button0, button1, lockOpen, lockClosed, checkmark0, checkmark1;
};

// The face shown by the 50×50 die at (x, y): 1-6, 0 for the blank face, -1 for anything else.
int readDie(const Picture& screen, int x, int y, const BoardPictures& pictures);

// The number in the 100×20 scoreboard cell at (x, y) on the cell picture `cell`, described as
// "" (a bare cell), "<colour> <digits>" with colour "red", "black", "green" or an RRGGBB hex value,
// or "unreadable".
std::string readCell(const Picture& screen, int x, int y, const Picture& cell, const Font& font);

// How readCell describes a cell that shows value in colour.
std::string cellText(int value, std::uint32_t colour);

}  // namespace zopp::e2e
