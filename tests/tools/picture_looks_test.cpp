#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/tools/picture_checks.h"

namespace zopp::pictures {
namespace {

using testing::Bitmap;
using testing::contrast;
using testing::loadPicture;
using testing::luminance;
using testing::worstContrast;

// The game's text colours.
constexpr std::uint32_t kBlack = 0x000000, kRed = 0xEE0000, kGreen = 0x008800;
constexpr double kMinimumContrast = 4.5;
constexpr int kGlyphWidth = 8, kGlyphHeight = 16;

// Worst contrast of black text of the font's cell size drawn at (x, y) onto picture.
double textContrast(const Bitmap& picture, int x, int y, const std::string& text, std::uint32_t colour) {
    return worstContrast(picture, x, y, x + kGlyphWidth * static_cast<int>(text.size()), y + kGlyphHeight,
                         colour);
}

TEST(PictureContrast, CellTextsReadInEveryColourOnBothCells) {
    // The widest cell text ("kl. Strasse") is centred: columns 6 to 93, rows 2 to 17.
    for (const char* name : {"scb0.bmp", "scb1.bmp"}) {
        const Bitmap cell = loadPicture(name);
        ASSERT_EQ(cell.width, 100) << name;
        for (std::uint32_t colour : {kBlack, kRed, kGreen}) {
            const double ratio = textContrast(cell, 6, 2, "kl. Strasse", colour);
            RecordProperty(std::string(name) + (colour == kBlack ? "_black"
                                                : colour == kRed ? "_red"
                                                                 : "_green"),
                           std::to_string(ratio));
            EXPECT_GE(ratio, kMinimumContrast) << name << " colour " << std::hex << colour;
        }
    }
}

TEST(PictureContrast, BlackTextsOnTheFeltRead) {
    const Bitmap background = loadPicture("background.bmp");
    ASSERT_EQ(background.width, 640);
    struct Text {
        int x, y;
        std::string text;
    };
    const std::vector<Text> texts = {
        {280, 10, "Regelwerk:"},
        {70, 40, "ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden"},
        {70, 90, "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)"},
        {140, 320, "Waehle Anzahl der Spieler und los gehts...."},
        {386, 397, "Auswahl im ScoreBoard"},
    };
    for (const auto& t : texts) {
        const double ratio = textContrast(background, t.x, t.y, t.text, kBlack);
        RecordProperty("background_" + std::to_string(t.y), std::to_string(ratio));
        EXPECT_GE(ratio, kMinimumContrast) << t.text;
    }
}

TEST(PictureContrast, BlackTextsOnTheButtonsRead) {
    // Texts start 17 rows down; "2. Wurf Spieler 4" is the longest on the throw face, "ins Scoreboard
    // damit !?" on the other.
    const Bitmap throwFace = loadPicture("button0.bmp");
    const Bitmap boardFace = loadPicture("button1.bmp");
    ASSERT_EQ(throwFace.width, 200);
    ASSERT_EQ(boardFace.width, 200);
    const double throwRatio = textContrast(throwFace, 32, 17, "2. Wurf Spieler 4", kBlack);
    const double boardRatio = textContrast(boardFace, 8, 17, "ins Scoreboard damit !?", kBlack);
    RecordProperty("button0", std::to_string(throwRatio));
    RecordProperty("button1", std::to_string(boardRatio));
    EXPECT_GE(throwRatio, kMinimumContrast);
    EXPECT_GE(boardRatio, kMinimumContrast);
}

// Number of 4-connected groups of pixels for which dark holds.
int countGroups(const Bitmap& picture, const std::function<bool(std::uint32_t)>& dark) {
    std::vector<bool> seen(picture.pixels.size());
    int groups = 0;
    for (int start = 0; start < static_cast<int>(picture.pixels.size()); ++start) {
        if (seen[start] || !dark(picture.pixels[start])) {
            continue;
        }
        ++groups;
        std::vector<int> stack = {start};
        seen[start] = true;
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int x = p % picture.width, y = p / picture.width;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height) {
                    continue;
                }
                const int n = ny * picture.width + nx;
                if (!seen[n] && dark(picture.pixels[n])) {
                    seen[n] = true;
                    stack.push_back(n);
                }
            }
        }
    }
    return groups;
}

TEST(DieFaces, ShowAsManyPipsAsTheirNumber) {
    const auto isPip = [](std::uint32_t pixel) { return luminance(pixel) < 0.05; };
    for (int face = 0; face <= 6; ++face) {
        EXPECT_EQ(countGroups(loadPicture(std::to_string(face) + ".bmp"), isPip), face) << "face " << face;
    }
}

TEST(DieFaces, TheUnthrownDieStandsApartFromADieAtRest) {
    // A band inside the die's left edge, clear of the rim and of every pip.
    const auto band = [](const Bitmap& face) {
        double sum = 0;
        for (int y = 15; y < 35; ++y) {
            for (int x = 4; x < 8; ++x) {
                sum += luminance(face.at(x, y));
            }
        }
        return sum / 80;
    };
    const double hollow = band(loadPicture("0.bmp"));
    for (int face = 1; face <= 6; ++face) {
        EXPECT_GT(band(loadPicture(std::to_string(face) + ".bmp")), hollow + 0.4) << "face " << face;
    }
}

TEST(PicturesOnTheFelt, CornersMatchTheBackgroundWhereverTheGamePutsThem) {
    const Bitmap background = loadPicture("background.bmp");
    struct Placement {
        std::string name;
        int x, y;
    };
    std::vector<Placement> placements = {
        {"lock1.bmp", 597, 92},    {"checkmark0.bmp", 30, 40}, {"checkmark1.bmp", 30, 90},
        {"button0.bmp", 370, 380}, {"button1.bmp", 370, 380},
    };
    for (int face = 0; face <= 6; ++face) {
        for (int die = 1; die <= 5; ++die) {
            placements.push_back({std::to_string(face) + ".bmp", 60 * die + 10, 380});
        }
    }
    for (int k = 0; k < 4; ++k) {
        placements.push_back({std::to_string(k + 1) + ".bmp", 130 + 100 * k, 350});
    }
    for (const char* lock : {"lock0.bmp", "lock1.bmp"}) {
        for (int die = 1; die <= 5; ++die) {
            placements.push_back({lock, 60 * die + 30, 435});
        }
    }
    for (const auto& [name, x, y] : placements) {
        const Bitmap picture = loadPicture(name);
        ASSERT_GT(picture.width, 0) << name;
        for (auto [cx, cy] : {std::pair{0, 0}, {picture.width - 1, 0}, {0, picture.height - 1}}) {
            EXPECT_EQ(picture.at(cx, cy), background.at(x + cx, y + cy)) << name << " at " << x << "," << y;
        }
    }
}

TEST(LockMarks, OpenAndClosedDiffer) {
    const Bitmap open = loadPicture("lock0.bmp"), closed = loadPicture("lock1.bmp");
    int differing = 0;
    for (std::size_t i = 0; i < open.pixels.size(); ++i) {
        differing += open.pixels[i] != closed.pixels[i];
    }
    EXPECT_GT(differing, 30);
    // The closed lock's outline stands out from the felt under the first die.
    EXPECT_GE(contrast(closed.at(1, 9), loadPicture("background.bmp").at(90, 435)), 3.0);
}

}  // namespace
}  // namespace zopp::pictures
