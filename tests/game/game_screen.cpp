#include "tests/game/game_screen.h"

#include "board/message_button.h"
#include "frame/events.h"
#include "game/event_loop.h"
#include "game/setup_screen.h"
#include "screen/images/image.h"
#include "screen/text/text_mode.h"

namespace zopp::testing {

namespace {

ImagePtr filled(std::int32_t width, std::int32_t height, std::uint32_t colour) {
    return createImage(width, height, colour, 0, 0);
}

}  // namespace

void GameScreen::SetUp() {
    MemoryScreen::SetUp();
    openMemoryScreen();
    ASSERT_EQ(setTextGrid(80, 30), 0);
    game.screenWidth = 640;
    game.screenHeight = 480;
    game.screenDepth = 32;
    game.colorBlack = kBlack;
    game.colorGreen = kGreen;
    game.colorRed = kRed;
    game.colorYellow = kYellow;
    game.defaultForeground = kBlack;
    game.imgBackground = filled(640, 480, kBackground);
    for (std::int32_t face = 0; face <= 6; ++face) {
        game.imgDieFace[static_cast<std::size_t>(face)] = filled(50, 50, faceColour(face));
    }
    game.imgScoreCell = {filled(100, 20, kCell), filled(100, 20, kSumCell)};
    game.imgLock = {filled(10, 10, kLockOpen), filled(10, 10, kLockClosed)};
    game.imgButton = {filled(200, 50, kThrowButton), filled(200, 50, kScoreButton), filled(200, 50, 0)};
    game.imgCheckmark = {filled(20, 20, kBoxEmpty), filled(20, 20, kBoxTicked)};
    loop.event = std::make_unique<ScreenEvent>();
    showSetupScreen(game);
    loop.phase = zopp::Setup;
}

bool GameScreen::anyPixel(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          std::uint32_t colour) const {
    for (std::int32_t y = top; y < bottom; ++y) {
        for (std::int32_t x = left; x < right; ++x) {
            if (rgb(x, y) == colour) return true;
        }
    }
    return false;
}

std::vector<std::uint32_t> GameScreen::grab(std::int32_t x, std::int32_t y, std::int32_t w,
                                            std::int32_t h) const {
    std::vector<std::uint32_t> pixels;
    for (std::int32_t j = 0; j < h; ++j) {
        for (std::int32_t i = 0; i < w; ++i)
            pixels.push_back(rgb(x + i, y + j));
    }
    return pixels;
}

bool GameScreen::buttonShows(std::string_view text, std::int32_t style) {
    const auto shown = grab(370, 380, 200, 50);
    drawMessageButton(game, 370, 380, text, kBlack, style);
    return grab(370, 380, 200, 50) == shown;
}

void GameScreen::event(std::int32_t type, std::int32_t a, std::int32_t b) {
    // Slots the type does not name carry leftovers, as a reused record would.
    *loop.event = ScreenEvent{type, a, b, 333, 444};
    reactToEvent(game, loop, *loop.event);
}

void GameScreen::setFaces(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t e) {
    const std::int32_t faces[] = {a, b, c, d, e};
    for (std::size_t i = 1; i <= 5; ++i)
        game.dice[i] = Die{faces[i - 1], Lying, 0};
    game.pickedUpCount = 0;
}

}  // namespace zopp::testing
