#include "tests/e2e/reference_games.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace zopp::e2e {

namespace fs = std::filesystem;

double gameTimerSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string frameDigest(const Picture& screen) {
    std::uint32_t digest = 2166136261u;
    for (const std::uint32_t pixel : screen.pixels) {
        for (const int shift : {16, 8, 0})
            digest = (digest ^ ((pixel >> shift) & 0xFFu)) * 16777619u;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", digest);
    return text;
}

ReferenceGames::ReferenceGames(const std::string& player, const fs::path& folder, double earliest,
                               double latest) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    // A second more on either side: a system whose timer is another clock may have drifted from this one.
    for (auto seed = static_cast<long>(std::floor(earliest)) - 1;
         seed <= static_cast<long>(std::floor(latest)) + 1; ++seed) {
        Reference reference{std::make_unique<LaunchedProgram>(player, std::vector<std::string>{}, ""), seed,
                            ""};
        references_.push_back(std::move(reference));
    }
    fs::current_path(previous);
    for (Reference& reference : references_) {
        answer(reference);  // the setup screen, the same whatever the seed
        reference.program->sendLine("seed " + std::to_string(reference.seed));
        reference.digest = answer(reference);
    }
}

std::string ReferenceGames::answer(Reference& reference) {
    const auto line = reference.program->waitForLine("frame ", std::chrono::seconds(20));
    return line ? line->substr(6) : "";
}

void ReferenceGames::click(int x, int y) {
    for (Reference& reference : references_)
        reference.program->sendLine("click " + std::to_string(x) + " " + std::to_string(y));
    for (Reference& reference : references_)
        reference.digest = answer(reference);
}

bool ReferenceGames::shownBy(const Picture& screen) {
    const std::string digest = frameDigest(screen);
    const auto differs = [&](const Reference& reference) { return reference.digest != digest; };
    if (std::all_of(references_.begin(), references_.end(), differs)) return false;
    std::erase_if(references_, differs);
    return true;
}

std::string ReferenceGames::difference(const Picture& screen) {
    if (references_.empty()) return "no reference is left";
    Reference& reference = references_.front();
    const fs::path file =
        fs::temp_directory_path() / ("zopp-reference-" + std::to_string(reference.seed) + "-" +
                                     std::to_string(reference.program->pid()) + ".ppm");
    reference.program->sendLine("dump " + file.string());
    if (answer(reference).empty())
        return "the reference for seed " + std::to_string(reference.seed) + " ended";
    std::ifstream in(file, std::ios::binary);
    const std::string ppm{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    fs::remove(file);
    const std::string header = "P6\n640 480\n255\n";
    if (ppm.size() != header.size() + 640 * 480 * 3 || screen.width != 640 || screen.height != 480)
        return "the frames differ in size";
    for (int i = 0; i < 640 * 480; ++i) {
        const auto byte = [&](int k) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(ppm[header.size() + 3 * i + k]));
        };
        const std::uint32_t expected = byte(0) << 16 | byte(1) << 8 | byte(2);
        if (expected != screen.pixels[static_cast<std::size_t>(i)]) {
            char text[120];
            std::snprintf(text, sizeof text,
                          "first difference from the Linux frame (seed %ld) at %d,%d: %06x, not %06x",
                          reference.seed, i % 640, i / 640, screen.pixels[static_cast<std::size_t>(i)],
                          expected);
            return text;
        }
    }
    return "equal to the Linux frame (seed " + std::to_string(reference.seed) + ")";
}

}  // namespace zopp::e2e
