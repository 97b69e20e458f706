// How many device pixels each way a window gives one screen pixel: a whole factor k, so that every screen
// pixel shows as a k×k block of its own colour, whatever the desktop's scale. Back-ends report what the
// platform says; the refresh loop applies the rule, which lives here once for the desktops. The page has a
// second rule of its own on purpose (browserScale in screen/web/page/zopp-page.js): it fills the space the
// browser gives it, where a desktop window is made for the board.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zopp {

// What a back-end learnt from its platform about the place a window is made for.
struct DesktopScale {
    double scale = 1.0;                            // the desktop's scale: 1.0 at 96 dpi, 2.0 at 192
    std::int32_t workWidth = 0, workHeight = 0;    // device pixels left free for windows
    std::int32_t frameWidth = 0, frameHeight = 0;  // what frame and caption add to the client area
};

// The whole number nearest to the desktop's scale (halves up), made smaller while the client area of
// k × the screen's size and the frame would not fit the work area; never below 1.
std::int32_t windowScale(const DesktopScale& desktop, std::int32_t screenWidth, std::int32_t screenHeight);

// The factor ZOPP_SCALE asks for: a whole number from 1 to kMaxForcedScale. Anything else (unset, empty, 0,
// a fraction, a word) asks for nothing, and the desktop's scale holds.
inline constexpr std::int32_t kMaxForcedScale = 8;
std::optional<std::int32_t> forcedScale(std::string_view text);

// The factor a new window gets: the one ZOPP_SCALE forces, else windowScale's.
std::int32_t chooseWindowScale(const DesktopScale& desktop, std::int32_t screenWidth,
                               std::int32_t screenHeight);

}  // namespace zopp
