#include "game/startup.h"

#include <string_view>

#include "board/checked_draw.h"
#include "frame/runtime.h"
#include "game/kept_game.h"
#include "game/setup_screen.h"
#include "screen/text/text_mode.h"
#include "screen/window/screen.h"

namespace zopp {

namespace {

constexpr std::int32_t kReportOpenScreen = 109;
constexpr std::int32_t kReportTextGrid = 110;
constexpr std::int32_t kReportLoadBackground = 117;
// Die faces 0 to 6.
constexpr std::int32_t kReportLoadDieFace[] = {120, 123, 126, 129, 132, 135, 138};
constexpr std::int32_t kReportLoadScoreCell[] = {141, 144};
constexpr std::int32_t kReportLoadLock[] = {147, 150};
constexpr std::int32_t kReportLoadButton[] = {153, 156};
constexpr std::int32_t kReportLoadCheckmark[] = {161, 164};

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
    loadImage(game.imgBackground, 640, 480, "dat\\background.bmp", kReportLoadBackground);
    loadImage(game.imgDieFace[0], 50, 50, "dat\\0.bmp", kReportLoadDieFace[0]);
    loadImage(game.imgDieFace[1], 50, 50, "dat\\1.bmp", kReportLoadDieFace[1]);
    loadImage(game.imgDieFace[2], 50, 50, "dat\\2.bmp", kReportLoadDieFace[2]);
    loadImage(game.imgDieFace[3], 50, 50, "dat\\3.bmp", kReportLoadDieFace[3]);
    loadImage(game.imgDieFace[4], 50, 50, "dat\\4.bmp", kReportLoadDieFace[4]);
    loadImage(game.imgDieFace[5], 50, 50, "dat\\5.bmp", kReportLoadDieFace[5]);
    loadImage(game.imgDieFace[6], 50, 50, "dat\\6.bmp", kReportLoadDieFace[6]);
    loadImage(game.imgScoreCell[0], 100, 20, "dat\\scb0.bmp", kReportLoadScoreCell[0]);
    loadImage(game.imgScoreCell[1], 100, 20, "dat\\scb1.bmp", kReportLoadScoreCell[1]);
    loadImage(game.imgLock[0], 10, 10, "dat\\lock0.bmp", kReportLoadLock[0]);
    loadImage(game.imgLock[1], 10, 10, "dat\\lock1.bmp", kReportLoadLock[1]);
    loadImage(game.imgButton[0], 200, 50, "dat\\button0.bmp", kReportLoadButton[0]);
    loadImage(game.imgButton[1], 200, 50, "dat\\button1.bmp", kReportLoadButton[1]);
    // Filled at every new turn with the screen under the button.
    game.imgButton[2] = createImage(200, 50);
    loadImage(game.imgCheckmark[0], 20, 20, "dat\\checkmark0.bmp", kReportLoadCheckmark[0]);
    loadImage(game.imgCheckmark[1], 20, 20, "dat\\checkmark1.bmp", kReportLoadCheckmark[1]);
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
    checkResult(openScreen(game.screenWidth, game.screenHeight, game.screenDepth, 0, ScreenNoSwitch, 0),
                kReportOpenScreen);
    checkResult(setTextGrid(game.screenWidth / 8, game.screenHeight / 16), kReportTextGrid);
    setColors(game.defaultForeground, game.defaultBackground, 0);
    clearScreen(NO_ARGUMENT);
    loadImages(game);

    if (!resumeKeptGame(game, loop)) {
        showSetupScreen(game);
        loop.phase = Setup;
    }
    keepGame(game, loop);
}

}  // namespace zopp
