// The beep as a synthesised tone on the default audio device. Only the audio subsystem is started and
// stopped here: the video subsystem belongs to the screen's refresh thread.
#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <numbers>
#include <thread>
#include <vector>

#include "frame/timing.h"

namespace zopp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int TONE_HZ = 1000;
constexpr int TONE_MS = 250;
constexpr int SAMPLE_RATE = 48000;
constexpr int FADE_MS = 5;  // a raised-cosine edge, so the tone neither starts nor stops with a click
constexpr double AMPLITUDE = 0.3 * 32767;
constexpr int DEVICE_BUFFER_SAMPLES = 512;
constexpr auto DRAIN_POLL = std::chrono::milliseconds(5);
// The queue empties when its last samples reach the device, whose own buffers still have to play them
// before the device may be closed: two buffers and the sound server's latency, estimated generously.
constexpr auto DEVICE_LATENCY =
    std::chrono::milliseconds(2 * 1000 * DEVICE_BUFFER_SAMPLES / SAMPLE_RATE + 10);
// A device that stops consuming must not hang the game.
constexpr auto GIVE_UP_AFTER = std::chrono::seconds(1);

// ALSA, which SDL loads at run time, writes its errors to the console by default, for instance when the
// machine has no sound card. The beep must stay silent there, so its error handler is replaced by one that
// drops them. The library stays loaded, so the handler outlives SDL closing its own handle.
void dropAlsaError(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetErrorHandler = int (*)(ErrorHandler);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) return;
    const auto setHandler = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) setHandler(dropAlsaError);
}

std::vector<std::int16_t> toneSamples() {
    constexpr int count = SAMPLE_RATE * TONE_MS / 1000;
    constexpr int fadeCount = SAMPLE_RATE * FADE_MS / 1000;
    std::vector<std::int16_t> samples(count);
    for (int i = 0; i < count; ++i) {
        const int edgeDistance = std::min(i, count - 1 - i);
        const double envelope = edgeDistance >= fadeCount
                                    ? 1.0
                                    : 0.5 - 0.5 * std::cos(std::numbers::pi * edgeDistance / fadeCount);
        const double phase = 2.0 * std::numbers::pi * TONE_HZ * i / SAMPLE_RATE;
        samples[i] = static_cast<std::int16_t>(std::lround(AMPLITUDE * envelope * std::sin(phase)));
    }
    return samples;
}

// Plays the tone to its end; does nothing when no device opens.
void playTone(Clock::time_point start) {
    SDL_AudioSpec wanted{};
    wanted.freq = SAMPLE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = DEVICE_BUFFER_SAMPLES;
    // No changes allowed: SDL converts to whatever the device needs.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) return;

    const std::vector<std::int16_t> samples = toneSamples();
    if (SDL_QueueAudio(device, samples.data(), static_cast<Uint32>(samples.size() * sizeof(std::int16_t))) ==
        0) {
        SDL_PauseAudioDevice(device, 0);
        while (SDL_GetQueuedAudioSize(device) > 0 && Clock::now() - start < GIVE_UP_AFTER) {
            std::this_thread::sleep_for(DRAIN_POLL);
        }
        std::this_thread::sleep_for(DEVICE_LATENCY);
    }
    SDL_CloseAudioDevice(device);
}

}  // namespace

void beep() {
    const Clock::time_point start = Clock::now();
    static std::once_flag alsaSilenced;
    std::call_once(alsaSilenced, silenceAlsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        playTone(start);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Silent or cut short, the beep still takes its time.
    std::this_thread::sleep_until(start + std::chrono::milliseconds(TONE_MS));
}

}  // namespace zopp
