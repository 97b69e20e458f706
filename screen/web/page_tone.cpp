#include "screen/web/page_tone.h"

// page_host.js
extern "C" {
void zoppListenForFirstInteraction();
void zoppStartTone(std::int32_t hz, std::int32_t ms, double amplitude, double edgeSeconds);
}

namespace zopp::web {

void armTone() {
    zoppListenForFirstInteraction();
}

void playTone(std::int32_t hz, std::int32_t ms) {
    if (ms > 0) zoppStartTone(hz, ms, 0.3, 0.005);
}

}  // namespace zopp::web
