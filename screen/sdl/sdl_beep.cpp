#include "screen/sdl/sdl_beep.h"

#include <SDL.h>
#include <dlfcn.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace zopp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSampleRate = 48000;
constexpr int kDeviceBufferSamples = 512;
constexpr auto kDrainPoll = std::chrono::milliseconds(5);
// The queue empties when its last samples reach the device, whose own buffers still have to play them
// before the device may be closed: two buffers and the sound server's latency, estimated generously.
constexpr auto kDeviceLatency = std::chrono::milliseconds(2 * 1000 * kDeviceBufferSamples / kSampleRate + 10);
// A device that stops consuming must not hang the game: this long past the tone's own length at most.
constexpr auto kStallAllowance = std::chrono::milliseconds(750);

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

// Plays the samples to their end; does nothing when no device opens.
void playSamples(const std::vector<std::int16_t>& samples, Clock::time_point giveUpAt) {
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kDeviceBufferSamples;
    // No changes allowed: SDL converts to whatever the device needs.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) return;
    const auto bytes = static_cast<Uint32>(samples.size() * sizeof(std::int16_t));
    if (SDL_QueueAudio(device, samples.data(), bytes) == 0) {
        SDL_PauseAudioDevice(device, 0);
        while (SDL_GetQueuedAudioSize(device) > 0 && Clock::now() < giveUpAt) {
            std::this_thread::sleep_for(kDrainPoll);
        }
        std::this_thread::sleep_for(kDeviceLatency);
    }
    SDL_CloseAudioDevice(device);
}

}  // namespace

void playSdlTone(const Tone& tone) {
    const std::vector<std::int16_t> samples = toneSamples(tone, kSampleRate);
    if (samples.empty()) return;
    const Clock::time_point giveUpAt = Clock::now() + std::chrono::milliseconds(tone.ms) + kStallAllowance;
    static std::once_flag alsaSilenced;
    std::call_once(alsaSilenced, silenceAlsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    playSamples(samples, giveUpAt);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace zopp
