#include "game/saved_game.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "frame/random.h"
#include "game/scoring.h"

namespace zopp {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'Z', 'O', 'P', 'P'};
constexpr std::size_t kCheckedSize = kSavedGameSize - 4;
constexpr std::size_t kPicturesAt = 224;
constexpr double kTwoPow32 = 4294967296.0;

// Everything a saved game holds, apart from the pictures' fingerprint.
struct SavedValues {
    std::int32_t phase, ruleVariant, playerCount, currentPlayer, roundCount, currentRound, selectedRow,
        clickedDie, pickedUpCount;
    std::array<Die, 6> dice;
    std::array<std::int32_t, 7> faceCount;
    std::int32_t mouseX, mouseY;
    ScoreTable scores;
    RandomState random;
};

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
    }
    return ~crc;
}

// Little-endian fields at a moving position. Out of line and over one buffer, so the many fields cost a
// call each, not a copy of the code each.
class FieldWriter {
  public:
    explicit FieldWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    [[gnu::noinline]] void put(std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::size_t at_ = 0;
};

// Reads a span already known to hold kSavedGameSize bytes, so no read can run off its end.
class FieldReader {
  public:
    FieldReader(std::span<const std::uint8_t> bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    [[gnu::noinline]] std::uint32_t get(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= std::uint32_t{bytes_[at_++]} << (8 * i);
        return value;
    }
    std::int32_t u8() { return static_cast<std::int32_t>(get(1)); }
    std::int32_t i8() { return static_cast<std::int8_t>(get(1)); }
    std::int32_t i16() { return static_cast<std::int16_t>(get(2)); }
    std::int32_t i32() { return static_cast<std::int32_t>(get(4)); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_;
};

// A record to run the scoring rules on, made once: a GameState holds images, and making and ending one at
// every check would cost more code than the checks.
GameState& scratch() {
    static GameState* const kState = new GameState{};
    return *kState;
}

SavedValues readValues(std::span<const std::uint8_t> saved) {
    FieldReader in(saved, kMagic.size() + 1);
    SavedValues v{};
    for (std::int32_t* field : {&v.phase, &v.ruleVariant, &v.playerCount, &v.currentPlayer, &v.roundCount,
                                &v.currentRound, &v.selectedRow})
        *field = in.u8();
    v.clickedDie = in.i8();
    v.pickedUpCount = in.u8();
    for (std::size_t i = 1; i <= 5; ++i)
        v.dice[i] = Die{in.u8(), in.i8(), in.u8()};
    for (std::int32_t& count : v.faceCount)
        count = in.u8();
    v.mouseX = in.i32();
    v.mouseY = in.i32();
    for (auto& column : v.scores)
        for (std::int32_t& value : column)
            value = in.i16();
    in.get(4);  // the pictures, compared before
    v.random.selected = in.i32();
    v.random.index = static_cast<std::int32_t>(in.get(2));
    v.random.lastRandom = in.get(4) / kTwoPow32;
    for (std::uint32_t& word : v.random.words)
        word = in.get(4);
    return v;
}

// --- What a game can reach ---

bool isCategory(std::int32_t row) {
    return (row >= Ones && row <= Sixes) || (row >= ThreeOfAKind && row <= Chance);
}

// Whether a category can score this: the upper rows count a face, the lower ones follow their rule.
bool scorable(std::int32_t row, std::int32_t value) {
    if (row <= Sixes) return value >= 0 && value <= 5 * row && value % row == 0;
    switch (row) {
        case ThreeOfAKind:
        case FourOfAKind:
            return value == 0 || (value >= 5 && value <= 30);
        case FullHouse:
            return value == 0 || value == 25;
        case SmallStraight:
            return value == 0 || value == 30;
        case LargeStraight:
            return value == 0 || value == 40;
        case FiveOfAKind:
            return value == 0 || value == 50;
        default:  // Chance
            return value >= 5 && value <= 30;
    }
}

std::int32_t filledRows(const SavedValues& v, std::int32_t player) {
    std::int32_t filled = 0;
    for (std::int32_t row = Ones; row <= Chance; ++row)
        filled += isCategory(row) && v.scores[player][row] >= 0 ? 1 : 0;
    return filled;
}

// A player's column: categories empty or scorable; the sums as updateTotals leaves them once a row is
// filled, and within their reach before.
const char* checkColumn(const SavedValues& v, std::int32_t player, bool inGame) {
    const std::int32_t* column = v.scores[player];
    if (column[0] != -1 && !(column[0] == 0 && !inGame)) return "a score sheet's row 0";
    for (std::int32_t row = Ones; row <= Chance; ++row) {
        // A chance of 0 is the zero-filled sheet of a program that has not played yet.
        const bool zeroSheet = !inGame && column[row] == 0;
        if (isCategory(row) && column[row] != -1 && !scorable(row, column[row]) && !zeroSheet)
            return "a score sheet's category";
    }
    GameState& totals = scratch();
    totals.currentPlayer = 1;
    std::copy_n(column, GrandTotal + 1, totals.scores[1]);
    updateTotals(totals);
    const std::int32_t* expected = totals.scores[1];
    const bool reachable = column[UpperSum] >= 0 && column[UpperSum] <= 105 &&
                           (column[Bonus] == 0 || column[Bonus] == 35) && column[LowerSum] >= 0 &&
                           column[LowerSum] <= 235 && column[GrandTotal] >= 0 && column[GrandTotal] <= 375;
    if (!reachable) return "a score sheet's sums";
    if (filledRows(v, player) > 0 &&
        !std::equal(expected + UpperSum, expected + GrandTotal + 1, column + UpperSum))
        return "a score sheet's sums";
    return nullptr;
}

// Column 0 holds what the dice score after an evaluation, and zeros before the first.
const char* checkCandidates(const SavedValues& v) {
    const std::int32_t* column = v.scores[0];
    for (const std::int32_t row : {0, 7, 8, 16, 17})
        if (column[row] != 0) return "the candidates";
    for (std::int32_t row = Ones; row <= Chance; ++row)
        if (isCategory(row) && column[row] != 0 && !scorable(row, column[row])) return "the candidates";
    if (v.phase == ChooseRow || v.phase == GameOver) {
        GameState& probe = scratch();
        probe.dice = v.dice;
        evaluateThrow(probe);
        if (!std::equal(probe.scores[0] + 1, probe.scores[0] + GrandTotal + 1, column + 1))
            return "the candidates";
        if (probe.faceCount != v.faceCount) return "faceCount";
    }
    return nullptr;
}

const char* checkDice(const SavedValues& v) {
    std::int32_t picked = 0;
    for (std::size_t i = 1; i <= 5; ++i) {
        const Die& die = v.dice[i];
        if (die.value < 0 || die.value > 6 || die.state < NotThrown || die.state > PickedUp ||
            die.locked < 0 || die.locked > 1)
            return "a die";
        picked += die.state == PickedUp ? 1 : 0;
        if (v.phase == Setup) continue;  // the previous game's dice, or none yet
        const bool thrown = die.state != NotThrown;
        if (thrown != (die.value != 0) || (die.locked == 1 && die.state != Lying)) return "a die";
        if ((v.phase == BeforeFirstThrow) == thrown) return "a die";
        if (die.locked == 1 && (v.ruleVariant != Locked || v.phase == AfterFirstThrow)) return "a die";
        if ((v.phase == ChooseRow || v.phase == GameOver) && die.state != Lying) return "a die";
    }
    const bool betweenThrows = v.phase == AfterFirstThrow || v.phase == AfterSecondThrow;
    if (v.pickedUpCount < 0 || v.pickedUpCount > 5 || (betweenThrows && v.pickedUpCount != picked))
        return "pickedUpCount";
    std::int32_t faces = 0;
    for (const std::int32_t count : v.faceCount) {
        if (count < 0 || count > 5) return "faceCount";
        faces += count;
    }
    return faces > 5 ? "faceCount" : nullptr;
}

// Who plays, in which round, and how far every sheet is filled.
const char* checkTurn(const SavedValues& v) {
    if (v.phase < Setup || v.phase > GameOver) return "phase";
    if (v.ruleVariant != Free && v.ruleVariant != Locked) return "ruleVariant";
    if (v.phase == Setup) {
        // Left from the previous game, or zero before the first.
        if (v.playerCount != 0) return "playerCount";
        if (v.currentPlayer > 4) return "currentPlayer";
        if (v.roundCount != 0 && v.roundCount != 13) return "roundCount";
        if (v.currentRound > 13) return "currentRound";
        return nullptr;
    }
    if (v.playerCount < 1 || v.playerCount > 4) return "playerCount";
    if (v.currentPlayer < 1 || v.currentPlayer > v.playerCount) return "currentPlayer";
    if (v.roundCount != 13) return "roundCount";
    if (v.currentRound < 1 || v.currentRound > v.roundCount) return "currentRound";
    const bool over = v.phase == GameOver;
    if (over && (v.currentPlayer != v.playerCount || v.currentRound != v.roundCount)) return "currentPlayer";
    for (std::int32_t player = 1; player <= 4; ++player) {
        const std::int32_t due = player > v.playerCount ? 0
                                 : over                 ? v.roundCount
                                        : v.currentRound - 1 + (player < v.currentPlayer ? 1 : 0);
        if (filledRows(v, player) != due) return "a score sheet's filled rows";
    }
    return nullptr;
}

const char* checkValues(const SavedValues& v) {
    if (const char* fault = checkTurn(v)) return fault;
    const bool rowHit = v.selectedRow == 0 || isCategory(v.selectedRow);
    if (!rowHit) return "selectedRow";
    if (v.clickedDie < -1 || v.clickedDie > 5) return "clickedDie";
    if (const char* fault = checkDice(v)) return fault;
    for (std::int32_t player = 1; player <= 4; ++player)
        if (const char* fault = checkColumn(v, player, v.phase != Setup)) return fault;
    return checkCandidates(v);
}

}  // namespace

std::uint32_t picturesFingerprint(const GameState& game) {
    // FNV-1a over 32-bit words: the pictures are whole pixels, and a word at a time keeps it quick.
    std::uint32_t hash = 2166136261u;
    const auto add = [&hash](const ImagePtr& image) {
        if (!image) return;
        const auto bytes = static_cast<const Image&>(*image).bytes();
        for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
            std::uint32_t word;
            std::memcpy(&word, bytes.data() + at, 4);
            hash = (hash ^ word) * 16777619u;
        }
    };
    add(game.imgBackground);
    std::for_each(game.imgDieFace.begin(), game.imgDieFace.end(), add);
    std::for_each(game.imgScoreCell.begin(), game.imgScoreCell.end(), add);
    std::for_each(game.imgLock.begin(), game.imgLock.end(), add);
    add(game.imgButton[0]);
    add(game.imgButton[1]);
    std::for_each(game.imgCheckmark.begin(), game.imgCheckmark.end(), add);
    return hash;
}

std::vector<std::uint8_t> saveGame(const GameState& game, const MainLoop& loop, std::uint32_t pictures) {
    std::vector<std::uint8_t> out(kSavedGameSize);
    FieldWriter put(out);
    for (const std::uint8_t letter : kMagic)
        put.put(letter, 1);
    put.put(kSavedGameVersion, 1);
    for (const std::int32_t field :
         {loop.phase, game.ruleVariant, game.playerCount, game.currentPlayer, game.roundCount,
          game.currentRound, game.selectedRow, game.clickedDie, game.pickedUpCount})
        put.put(static_cast<std::uint32_t>(field), 1);
    for (std::size_t i = 1; i <= 5; ++i) {
        for (const std::int32_t field : {game.dice[i].value, game.dice[i].state, game.dice[i].locked})
            put.put(static_cast<std::uint32_t>(field), 1);
    }
    for (const std::int32_t count : game.faceCount)
        put.put(static_cast<std::uint32_t>(count), 1);
    put.put(static_cast<std::uint32_t>(loop.mouseX), 4);
    put.put(static_cast<std::uint32_t>(loop.mouseY), 4);
    for (const auto& column : game.scores)
        for (const std::int32_t value : column)
            put.put(static_cast<std::uint32_t>(value), 2);
    put.put(pictures, 4);
    const RandomState random = randomState();
    put.put(static_cast<std::uint32_t>(random.selected), 4);
    put.put(static_cast<std::uint32_t>(random.index), 2);
    put.put(static_cast<std::uint32_t>(random.lastRandom * kTwoPow32), 4);
    for (const std::uint32_t word : random.words)
        put.put(word, 4);
    put.put(crc32(std::span(out).first(kCheckedSize)), 4);
    return out;
}

const char* restoreGame(std::span<const std::uint8_t> saved, std::uint32_t pictures, GameState& game,
                        MainLoop& loop) {
    if (saved.size() < kMagic.size() + 1 || !std::equal(kMagic.begin(), kMagic.end(), saved.begin()))
        return "it is not a saved game";
    if (saved[kMagic.size()] != kSavedGameVersion) return "it was saved by another version of the game";
    if (saved.size() != kSavedGameSize) return "it is cut short or too long";
    if (FieldReader(saved, kCheckedSize).get(4) != crc32(saved.first(kCheckedSize)))
        return "its check value does not match";
    if (FieldReader(saved, kPicturesAt).get(4) != pictures) return "it was drawn with other pictures";

    const SavedValues v = readValues(saved);
    if (const char* fault = checkValues(v)) return fault;
    if (!restoreRandomState(v.random)) return "the random generator";

    loop.phase = v.phase;
    loop.mouseX = v.mouseX;
    loop.mouseY = v.mouseY;
    game.ruleVariant = v.ruleVariant;
    game.playerCount = v.playerCount;
    game.currentPlayer = v.currentPlayer;
    game.roundCount = v.roundCount;
    game.currentRound = v.currentRound;
    game.selectedRow = v.selectedRow;
    game.clickedDie = v.clickedDie;
    game.pickedUpCount = v.pickedUpCount;
    game.dice = v.dice;
    game.faceCount = v.faceCount;
    std::memcpy(game.scores, v.scores, sizeof game.scores);
    return nullptr;
}

}  // namespace zopp
