#include "screen/win32/win32_sound.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <vector>

namespace zopp {

namespace {

constexpr std::int32_t kSampleRate = 48000;

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

// The samples as an in-memory WAV file: 16-bit mono PCM, as the system's player takes it.
std::vector<std::uint8_t> waveFile(const std::vector<std::int16_t>& samples, std::int32_t rate) {
    constexpr std::uint32_t formatSize = 16;
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    std::vector<std::uint8_t> file;
    file.reserve(44 + dataSize);
    putTag(file, "RIFF");
    putLittleEndian(file, 4 + (8 + formatSize) + (8 + dataSize), 4);
    putTag(file, "WAVE");
    putTag(file, "fmt ");
    putLittleEndian(file, formatSize, 4);
    putLittleEndian(file, WAVE_FORMAT_PCM, 2);
    putLittleEndian(file, 1, 2);  // mono
    putLittleEndian(file, static_cast<std::uint32_t>(rate), 4);
    putLittleEndian(file, static_cast<std::uint32_t>(rate) * 2, 4);  // bytes per second
    putLittleEndian(file, 2, 2);                                     // bytes per sample frame
    putLittleEndian(file, 16, 2);                                    // bits per sample
    putTag(file, "data");
    putLittleEndian(file, dataSize, 4);
    for (const std::int16_t sample : samples)
        putLittleEndian(file, static_cast<std::uint16_t>(sample), 2);
    return file;
}

}  // namespace

void playWin32Tone(const Tone& tone) {
    const std::vector<std::int16_t> samples = toneSamples(tone, kSampleRate);
    if (samples.empty()) return;
    const std::vector<std::uint8_t> file = waveFile(samples, kSampleRate);
    // SND_NODEFAULT: without a device the call fails at once rather than play the system's default sound.
    PlaySoundW(reinterpret_cast<LPCWSTR>(file.data()), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
}

}  // namespace zopp
