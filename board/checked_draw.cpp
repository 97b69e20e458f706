#include "board/checked_draw.h"

#include "board/game_state.h"
#include "frame/runtime.h"
#include "screen/drawing/blit.h"
#include "screen/text/text.h"

namespace zopp {

void checkResult(std::int32_t result, std::int32_t reportLine) {
    if (result == 0) {
        return;
    }
    // The report names errorNumber. The screen layer stores its own results; the game's own refusals (a
    // missing image) never reach the layer, so the number is stored here as well.
    setErrorNumber(result);
    raiseRuntimeError(reportLine, kZoppModule);
}

void putImageChecked(const ImagePtr& image, std::int32_t x, std::int32_t y, std::int32_t reportLine) {
    const ConstImageBytes bytes = image ? image->bytes() : ConstImageBytes{};
    checkResult(putImage(kScreen, static_cast<float>(x), static_cast<float>(y), bytes), reportLine);
}

void drawTextChecked(std::int32_t x, std::int32_t y, std::string_view text, std::uint32_t colour,
                     std::int32_t reportLine) {
    checkResult(drawText(kScreen, static_cast<float>(x), static_cast<float>(y), 0, text, colour), reportLine);
}

}  // namespace zopp
