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

constexpr Tone kBeepTone{.hz = 1000, .ms = 250, .amplitude = 0.3, .edgeMs = 5};

std::atomic<BeepSoundHook> soundOutput{nullptr};

// sin(2 pi turns), from its series on a quarter turn either side of zero, far more precise than 16-bit
// samples need. The C library's sine, with its reduction of any argument, would add more to the page's
// WebAssembly than the rest of the beep.
double sineOfTurns(double turns) {
    double quarter = turns - std::floor(turns);  // [0, 1)
    if (quarter >= 0.75) {
        quarter -= 1.0;
    } else if (quarter > 0.25) {
        quarter = 0.5 - quarter;  // sin(pi - x) = sin(x)
    }
    const double x = 2.0 * std::numbers::pi * quarter, xx = x * x;
    double term = x, sum = x;
    for (int k = 1; k <= 8; ++k) {  // the next term is below 1e-12
        term *= -xx / ((2.0 * k) * (2.0 * k + 1.0));
        sum += term;
    }
    return sum;
}

}  // namespace

std::vector<std::int16_t> toneSamples(const Tone& tone, std::int32_t sampleRate) {
    if (sampleRate <= 0 || tone.ms <= 0) return {};
    const std::int64_t count = std::int64_t{sampleRate} * tone.ms / 1000;
    const std::int64_t edgeCount = std::int64_t{sampleRate} * tone.edgeMs / 1000;
    const double peak = std::clamp(tone.amplitude, 0.0, 1.0) * 32767;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t edgeDistance = std::min(i, count - 1 - i);
        // 1/2 - cos(pi * distance / edge) / 2
        const double envelope =
            edgeDistance >= edgeCount
                ? 1.0
                : 0.5 - 0.5 * sineOfTurns(0.25 + static_cast<double>(edgeDistance) / (2.0 * edgeCount));
        // The turns the sine has made, reduced exactly so that the phase stays precise however long.
        const double turns = static_cast<double>(std::int64_t{tone.hz} * i % sampleRate) / sampleRate;
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(peak * envelope * sineOfTurns(turns)));
    }
    return samples;
}

void setBeepSoundHook(BeepSoundHook hook) {
    soundOutput.store(hook);
}

void beep() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kBeepTone.ms);
    if (const BeepSoundHook sound = soundOutput.load()) sound(kBeepTone);
    // Silent or cut short, the beep still takes its time.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left > 0) detail::sleepForProgram(static_cast<std::int32_t>(left));
}

}  // namespace zopp
