#include "game/startup.h"

#include <string_view>

#include "board/checked_draw.h"
#include "frame/runtime.h"
#include "game/setup_screen.h"

namespace zopp {

namespace {

void setConstants(GameState& game) {
    game.screenWidth = 640;
    game.screenHeight = 480;
    game.screenDepth = 32;
    game.colorBlack = 0x000000;
    game.colorGreen = 0x008800;
    game.colorRed = 0xEE0000;
    game.colorYellow = 0xFFDD00;
    game.defaultForeground = game.colorBlack;
    game.defaultBackground = 0;
}

// Creates the image at its fixed size (not the bitmap's) and fills it from the file. Without an image
// the load fails as an illegal call rather than loading onto the screen.
void loadImage(ImagePtr& slot, std::int32_t width, std::int32_t height, std::string_view file,
               std::int32_t reportLine) {
    slot = createImage(width, height);
    checkResult(slot ? loadBitmap(file, slot->bytes()) : static_cast<std::int32_t>(IllegalFunctionCall),
                reportLine);
}

void loadImages(GameState& game) {
    loadImage(game.imgBackground, 640, 480, "dat\\background.bmp", 117);
    loadImage(game.imgDieFace[0], 50, 50, "dat\\0.bmp", 120);
    loadImage(game.imgDieFace[1], 50, 50, "dat\\1.bmp", 123);
    loadImage(game.imgDieFace[2], 50, 50, "dat\\2.bmp", 126);
    loadImage(game.imgDieFace[3], 50, 50, "dat\\3.bmp", 129);
    loadImage(game.imgDieFace[4], 50, 50, "dat\\4.bmp", 132);
    loadImage(game.imgDieFace[5], 50, 50, "dat\\5.bmp", 135);
    loadImage(game.imgDieFace[6], 50, 50, "dat\\6.bmp", 138);
    loadImage(game.imgScoreCell[0], 100, 20, "dat\\scb0.bmp", 141);
    loadImage(game.imgScoreCell[1], 100, 20, "dat\\scb1.bmp", 144);
    loadImage(game.imgLock[0], 10, 10, "dat\\lock0.bmp", 147);
    loadImage(game.imgLock[1], 10, 10, "dat\\lock1.bmp", 150);
    loadImage(game.imgButton[0], 200, 50, "dat\\button0.bmp", 153);
    loadImage(game.imgButton[1], 200, 50, "dat\\button1.bmp", 156);
    // Filled at every new turn with the screen under the button.
    game.imgButton[2] = createImage(200, 50);
    loadImage(game.imgCheckmark[0], 20, 20, "dat\\checkmark0.bmp", 161);
    loadImage(game.imgCheckmark[1], 20, 20, "dat\\checkmark1.bmp", 164);
}

}  // namespace

void startGame(GameState& game, MainLoop& loop) {
    setConstants(game);
    loop.mouseX = 0;
    loop.mouseY = 0;
    loop.phase = 0;
    game.ruleVariant = Free;
    loop.event = std::make_unique<ScreenEvent>();

    // Before the window exists, so that it opens with this caption.
    setWindowTitle("ZOPP - V0.1(2008)");
    checkResult(openScreen(game.screenWidth, game.screenHeight, game.screenDepth, 0, ScreenNoSwitch, 0), 109);
    checkResult(setTextGrid(game.screenWidth / 8, game.screenHeight / 16), 110);
    setColors(game.defaultForeground, game.defaultBackground, 0);
    clearScreen(NO_ARGUMENT);
    loadImages(game);

    showSetupScreen(game);
    loop.phase = Setup;
}

}  // namespace zopp
