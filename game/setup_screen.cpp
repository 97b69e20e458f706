#include "game/setup_screen.h"

#include "board/checked_draw.h"
#include "board/screen_layout.h"
#include "frame/random.h"
#include "frame/timing.h"

namespace zopp {

namespace {

constexpr std::int32_t kReportBackground = 342;
constexpr std::int32_t kReportTitle = 343;
constexpr std::int32_t kReportRuleFree = 344;
constexpr std::int32_t kReportRuleLocked = 345;
constexpr std::int32_t kReportLockSign = 346;
constexpr std::int32_t kReportPrompt = 348;
constexpr std::int32_t kReportPlayerCountDie = 350;
constexpr std::int32_t kReportFreeTicked = 565;
constexpr std::int32_t kReportLockedEmpty = 566;
constexpr std::int32_t kReportFreeEmpty = 568;
constexpr std::int32_t kReportLockedTicked = 569;

}  // namespace

void showSetupScreen(GameState& game) {
    seedRandom(timerSeconds(), 0);
    // A new game starts only once a player count has been clicked.
    game.playerCount = 0;

    const std::uint32_t ink = game.defaultForeground;
    putImageChecked(game.imgBackground, 0, 0, kReportBackground);
    drawTextChecked(280, 10, "Regelwerk:", ink, kReportTitle);
    drawTextChecked(70, 40, "ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden", ink,
                    kReportRuleFree);
    // The three blanks leave the gap where the lock sign goes.
    drawTextChecked(70, 90, "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)", ink,
                    kReportRuleLocked);
    putImageChecked(game.imgLock[1], game.screenWidth - 43, 92, kReportLockSign);
    drawRuleMarks(game);
    drawTextChecked(140, 320, "Waehle Anzahl der Spieler und los gehts....", ink, kReportPrompt);
    for (std::int32_t count = 1; count <= 4; ++count) {
        const ScreenRect die = playerCountDie(count);
        putImageChecked(imageAt(game.imgDieFace, count), die.left, die.top, kReportPlayerCountDie);
    }
}

void drawRuleMarks(GameState& game) {
    const ScreenRect& free = kRuleBoxFree;
    const ScreenRect& locked = kRuleBoxLocked;
    if (game.ruleVariant == Free) {
        putImageChecked(game.imgCheckmark[1], free.left, free.top, kReportFreeTicked);
        putImageChecked(game.imgCheckmark[0], locked.left, locked.top, kReportLockedEmpty);
    } else {
        putImageChecked(game.imgCheckmark[0], free.left, free.top, kReportFreeEmpty);
        putImageChecked(game.imgCheckmark[1], locked.left, locked.top, kReportLockedTicked);
    }
}

}  // namespace zopp
