// The beep's rules: the whole tone (pitch, length, loudness and edges), its samples, and that it always
// takes its time. The platform's registered output only carries the samples to its device.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>

#include "frame/runtime_internal.h"
#include "frame/timing.h"

namespace zopp {

namespace {

constexpr Tone beepTone{.hz = 1000, .ms = 250, .amplitude = 0.3, .edgeMs = 5};

std::atomic<BeepSoundHook> soundOutput{nullptr};

}  // namespace

std::vector<std::int16_t> toneSamples(const Tone& tone, std::int32_t sampleRate) {
    const std::int64_t count = std::max<std::int64_t>(std::int64_t{sampleRate} * tone.ms / 1000, 0);
    const std::int64_t edgeCount = std::int64_t{sampleRate} * tone.edgeMs / 1000;
    const double peak = std::clamp(tone.amplitude, 0.0, 1.0) * 32767;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t edgeDistance = std::min(i, count - 1 - i);
        const double envelope =
            edgeDistance >= edgeCount
                ? 1.0
                : 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edgeDistance) / edgeCount);
        const double phase = 2.0 * std::numbers::pi * tone.hz * static_cast<double>(i) / sampleRate;
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(peak * envelope * std::sin(phase)));
    }
    return samples;
}

void setBeepSoundHook(BeepSoundHook hook) {
    soundOutput.store(hook);
}

void beep() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(beepTone.ms);
    if (const BeepSoundHook sound = soundOutput.load()) sound(beepTone);
    // Silent or cut short, the beep still takes its time.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left > 0) detail::sleepForProgram(static_cast<std::int32_t>(left));
}

}  // namespace zopp
