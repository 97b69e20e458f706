#include "screen/web/page_tone.h"

#include <vector>

// page_host.js
extern "C" {
void zoppListenForFirstInteraction();
std::int32_t zoppToneSampleRate();
void zoppStartSamples(const std::int16_t* samples, std::int32_t count, std::int32_t sampleRate);
}

namespace zopp::web {

void armTone() {
    zoppListenForFirstInteraction();
}

void playTone(const Tone& tone) {
    const std::int32_t sampleRate = zoppToneSampleRate();
    if (sampleRate <= 0) return;
    const std::vector<std::int16_t> samples = toneSamples(tone, sampleRate);
    if (!samples.empty())
        zoppStartSamples(samples.data(), static_cast<std::int32_t>(samples.size()), sampleRate);
}

}  // namespace zopp::web
