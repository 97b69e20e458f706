#include "game/kept_game.h"

#include <algorithm>
#include <cstring>

#include "board/dice_tray.h"
#include "board/scoreboard.h"
#include "frame/keeping.h"
#include "frame/random.h"
#include "game/saved_game.h"
#include "game/setup_screen.h"
#include "game/turn_flow.h"

namespace zopp {

namespace {

bool hasFilledRow(const GameState& game, std::int32_t player) {
    const std::int32_t* column = game.scores[player];
    return std::any_of(column + Ones, column + Sixes + 1, [](std::int32_t v) { return v >= 0; }) ||
           std::any_of(column + ThreeOfAKind, column + Chance + 1, [](std::int32_t v) { return v >= 0; });
}

bool inProgress(const MainLoop& loop) {
    return loop.phase != Setup && loop.phase != GameOver;
}

}  // namespace

void drawKeptGame(GameState& game, const MainLoop& loop) {
    // Drawing the setup screen seeds the generator, which the kept game has done already.
    const RandomState random = randomState();
    if (loop.phase == Setup) {
        showSetupScreen(game);
        restoreRandomState(random);
        return;
    }
    // The new board empties the sheets and starts the first turn: the kept sheets and turn go aside.
    ScoreTable scores;
    std::memcpy(scores, game.scores, sizeof scores);
    const auto dice = game.dice;
    const std::int32_t player = game.currentPlayer, round = game.currentRound;
    drawBoard(game);
    std::memcpy(game.scores, scores, sizeof scores);
    game.dice = dice;
    game.currentRound = round;
    // The button's saved place now holds the bare background where the game's would also hold "Auswahl im
    // ScoreBoard" from the previous turn: the only words ever drawn over it, so both show the same.
    for (std::int32_t p = 1; p <= 4; ++p) {
        if (!hasFilledRow(game, p)) continue;
        game.currentPlayer = p;
        drawPlayerColumn(game);
    }
    game.currentPlayer = player;
    drawPlayerHeaders(game);
    drawDice(game);
    showPhaseMessage(game, loop);
    if (loop.phase == ChooseRow) showCandidates(game);
    restoreRandomState(random);
}

bool resumeKeptGame(GameState& game, MainLoop& loop) {
    if (!platformKeepsValues()) return false;
    loop.pictures = picturesFingerprint(game);
    const std::vector<std::uint8_t> kept = keptValue();
    if (kept.empty()) return false;
    if (const char* fault = restoreGame(kept, loop.pictures, game, loop)) {
        sayKeptValueRejected(fault);
        return false;
    }
    // Not marked as kept: the start-up's keepGame hands it to the platform again, so the page hears of
    // the game in progress it now shows.
    drawKeptGame(game, loop);
    return true;
}

void keepGame(const GameState& game, MainLoop& loop) {
    if (!platformKeepsValues()) return;
    std::vector<std::uint8_t> value = saveGame(game, loop, loop.pictures);
    if (value == loop.kept) return;
    keepValue(value, inProgress(loop));
    loop.kept = std::move(value);
}

void leaveGame(GameState& game, MainLoop& loop) {
    if (loop.phase == Setup) return;
    showSetupScreen(game);
    loop.phase = Setup;
    keepGame(game, loop);
}

}  // namespace zopp
