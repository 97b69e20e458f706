#include "tests/e2e/screen_reading.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace zopp::e2e {

namespace {

std::vector<unsigned char> readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t littleEndian(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// Scales one colour channel of an X pixel to 0..255.
std::uint32_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / (mask >> shift));
}

std::string colourName(std::uint32_t colour) {
    switch (colour) {
        case 0xEE0000:
            return "red";
        case 0x000000:
            return "black";
        case 0x008800:
            return "green";
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    return hex;
}

constexpr int kCellWidth = 100, kCellHeight = 20, kGlyphWidth = 8, kGlyphHeight = 16;

// The digit whose glyph, drawn in colour onto the cell, gives exactly the screen's box at (x, y).
std::optional<char> readDigit(const Picture& screen, int x, int y, const Picture& cell, int cellX, int cellY,
                              std::uint32_t colour, const Font& font) {
    for (char digit = '0'; digit <= '9'; ++digit) {
        bool match = true;
        for (int row = 0; row < kGlyphHeight && match; ++row) {
            for (int column = 0; column < kGlyphWidth && match; ++column) {
                const int cx = cellX + column, cy = cellY + row;
                const std::uint32_t expected =
                    font.set(static_cast<unsigned char>(digit), column, row) ? colour : cell.at(cx, cy);
                match = screen.at(x + cx, y + cy) == expected;
            }
        }
        if (match) return digit;
    }
    return std::nullopt;
}

}  // namespace

bool Picture::shows(int x, int y, const Picture& part) const {
    if (x < 0 || y < 0 || x + part.width > width || y + part.height > height) return false;
    for (int row = 0; row < part.height; ++row) {
        for (int column = 0; column < part.width; ++column) {
            if (at(x + column, y + row) != part.at(column, row)) return false;
        }
    }
    return true;
}

Picture Picture::crop(int x, int y, int w, int h) const {
    Picture part{w, h, {}};
    for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column)
            part.pixels.push_back(at(x + column, y + row));
    }
    return part;
}

Picture readBmp(const std::filesystem::path& file) {
    const std::vector<unsigned char> bytes = readFile(file);
    const auto fail = [&](const char* why) { return std::runtime_error(file.string() + ": " + why); };
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') throw fail("not a BMP file");
    const std::uint32_t pixelOffset = littleEndian(bytes, 10, 4);
    const auto width = static_cast<std::int32_t>(littleEndian(bytes, 18, 4));
    const auto height = static_cast<std::int32_t>(littleEndian(bytes, 22, 4));
    if (littleEndian(bytes, 28, 2) != 24 || littleEndian(bytes, 30, 4) != 0) throw fail("not plain 24-bit");
    if (width <= 0 || width > 4096 || height == 0 || height > 4096 || height < -4096) throw fail("bad size");
    const int rows = height < 0 ? -height : height;
    const std::size_t pitch = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (pixelOffset + pitch * static_cast<std::size_t>(rows) > bytes.size()) throw fail("truncated");

    Picture picture{width, rows, std::vector<std::uint32_t>(static_cast<std::size_t>(width * rows))};
    for (int y = 0; y < rows; ++y) {
        const int fileRow = height > 0 ? rows - 1 - y : y;  // positive heights are stored bottom-up
        const std::size_t start = pixelOffset + pitch * static_cast<std::size_t>(fileRow);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(x) * 3;  // blue, green, red
            picture.set(x, y,
                        std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 1]} << 8 | bytes[at]);
        }
    }
    return picture;
}

Picture grab(XSession& session, ::Window window) {
    const XSession::Geometry g = session.geometry(window);
    XImage* image = XGetImage(session.display(), window, 0, 0, static_cast<unsigned>(g.width),
                              static_cast<unsigned>(g.height), AllPlanes, ZPixmap);
    if (!image) throw std::runtime_error("the window cannot be read");
    Picture picture{g.width, g.height,
                    std::vector<std::uint32_t>(static_cast<std::size_t>(g.width * g.height))};
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.set(x, y,
                        channel(pixel, image->red_mask) << 16 | channel(pixel, image->green_mask) << 8 |
                            channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return picture;
}

Font::Font(const std::filesystem::path& file) {
    const std::vector<unsigned char> bytes = readFile(file);
    if (bytes.size() != glyphs_.size()) throw std::runtime_error(file.string() + ": not an 8x16 font");
    std::copy(bytes.begin(), bytes.end(), glyphs_.begin());
}

Picture Font::write(Picture base, int x, int y, const std::string& text, std::uint32_t colour) const {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int left = x + kGlyphWidth * static_cast<int>(i);
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                const int px = left + column, py = y + row;
                if (px < 0 || py < 0 || px >= base.width || py >= base.height) continue;
                if (set(static_cast<unsigned char>(text[i]), column, row)) base.set(px, py, colour);
            }
        }
    }
    return base;
}

BoardPictures::BoardPictures(const std::filesystem::path& dat)
    : background(readBmp(dat / "background.bmp")),
      plainCell(readBmp(dat / "scb0.bmp")),
      sumCell(readBmp(dat / "scb1.bmp")),
      button0(readBmp(dat / "button0.bmp")),
      button1(readBmp(dat / "button1.bmp")),
      lockOpen(readBmp(dat / "lock0.bmp")),
      lockClosed(readBmp(dat / "lock1.bmp")),
      checkmark0(readBmp(dat / "checkmark0.bmp")),
      checkmark1(readBmp(dat / "checkmark1.bmp")) {
    for (std::size_t face = 0; face < dieFaces.size(); ++face)
        dieFaces[face] = readBmp(dat / (std::to_string(face) + ".bmp"));
}

int readDie(const Picture& screen, int x, int y, const BoardPictures& pictures) {
    for (std::size_t face = 0; face < pictures.dieFaces.size(); ++face) {
        if (screen.shows(x, y, pictures.dieFaces[face])) return static_cast<int>(face);
    }
    return -1;
}

std::string readCell(const Picture& screen, int x, int y, const Picture& cell, const Font& font) {
    if (screen.shows(x, y, cell)) return "";
    if (x < 0 || y < 0 || x + kCellWidth > screen.width || y + kCellHeight > screen.height)
        return "unreadable";
    // The text's colour is that of the first pixel that differs from the bare cell.
    std::optional<std::uint32_t> colour;
    for (int row = 0; row < kCellHeight && !colour; ++row) {
        for (int column = 0; column < kCellWidth && !colour; ++column) {
            if (screen.at(x + column, y + row) != cell.at(column, row))
                colour = screen.at(x + column, y + row);
        }
    }
    // Numbers up to 375 have at most three digits, centred like every cell text.
    for (int length = 1; length <= 3; ++length) {
        const int left = (kCellWidth - kGlyphWidth * length) / 2;
        std::string digits;
        for (int i = 0; i < length; ++i) {
            const auto digit = readDigit(screen, x, y, cell, left + kGlyphWidth * i, 2, *colour, font);
            if (!digit) break;
            digits += *digit;
        }
        if (static_cast<int>(digits.size()) != length) continue;
        // Nothing else may be drawn in the cell.
        if (screen.shows(x, y, font.write(cell, left, 2, digits, *colour)))
            return colourName(*colour) + " " + digits;
    }
    return "unreadable";
}

std::string cellText(int value, std::uint32_t colour) {
    return colourName(colour) + " " + std::to_string(value);
}

}  // namespace zopp::e2e
