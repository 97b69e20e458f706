#include "board/message_button.h"

#include "board/checked_draw.h"
#include "board/screen_layout.h"

namespace zopp {

namespace {

constexpr std::int32_t kButtonWidth = kMessageButton.right - kMessageButton.left;
constexpr std::int32_t kGlyphWidth = 8;
constexpr std::int32_t kTextDrop = 17;

constexpr std::int32_t kReportFace = 645;
constexpr std::int32_t kReportText = 649;

}  // namespace

void drawMessageButton(GameState& game, std::int32_t x, std::int32_t y, std::string_view text,
                       std::uint32_t colour, std::int32_t style) {
    putImageChecked(imageAt(game.imgButton, style), x, y, kReportFace);
    const auto length = static_cast<std::int32_t>(text.size());
    drawTextChecked(x + (kButtonWidth - kGlyphWidth * length) / 2, y + kTextDrop, text, colour, kReportText);
}

}  // namespace zopp
