// The page's clock: milliseconds from emscripten_get_now, counted from the page's time origin (an
// absolute time) rather than from the page's start. The game seeds its dice with the whole seconds of
// this clock when the setup screen shows, which happens within the page's first second: counted from
// the page's start, every visitor's first game would throw the same dice.
#include "frame/platform/clock.h"

#include <emscripten.h>

#include <cmath>

// page_frame.js
extern "C" double zoppPageTimeOriginMs();

namespace zopp::platform {

namespace {

double nowMs() {
    static const double kOrigin = zoppPageTimeOriginMs();
    return kOrigin + emscripten_get_now();
}

}  // namespace

std::optional<double> counterTickSeconds() {
    return 0.001;  // the counter counts milliseconds, with a fraction
}

double counterSeconds(double tickSeconds) {
    return nowMs() * tickSeconds;
}

double tickCountSeconds() {
    return std::floor(nowMs()) * 0.001;
}

}  // namespace zopp::platform
