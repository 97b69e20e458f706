// The beep's rules: the tone, its length, and that it always takes its time. The sound itself comes from
// the output the platform registered.
#include <atomic>
#include <chrono>

#include "frame/runtime_internal.h"
#include "frame/timing.h"

namespace zopp {

namespace {

constexpr std::int32_t TONE_HZ = 1000;
constexpr std::int32_t TONE_MS = 250;

std::atomic<BeepSoundHook> soundOutput{nullptr};

}  // namespace

void setBeepSoundHook(BeepSoundHook hook) {
    soundOutput.store(hook);
}

void beep() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(TONE_MS);
    if (const BeepSoundHook sound = soundOutput.load()) sound(TONE_HZ, TONE_MS);
    // Silent or cut short, the beep still takes its time.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left > 0) detail::sleepForProgram(static_cast<std::int32_t>(left));
}

}  // namespace zopp
