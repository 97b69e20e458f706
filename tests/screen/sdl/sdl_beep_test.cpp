// The beep's sound on SDL's audio: the tone itself, silence on the console, and that a window opened
// through the SDL back-end makes the game's beep sound.
#include <SDL.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "harness/support/test_paths.h"
#include "screen/sdl/sdl_beep.h"

namespace zopp {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(SdlTone, LeavesTheVideoSubsystemRunning) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    playSdlTone(Tone{.hz = 1000, .ms = 250, .amplitude = 0.3, .edgeMs = 5});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_EVENTS), Uint32{SDL_INIT_VIDEO | SDL_INIT_EVENTS});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the tone stops only what it started";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

struct ProbeRun {
    int exitStatus = -1;
    std::string output;  // standard output and standard error together
    milliseconds took{};
};

// Runs the probe (a window, then the game's beep) with this environment minus any audio driver choice,
// plus the given variables.
ProbeRun runProbe(std::vector<std::string> extraVariables) {
    std::vector<char*> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "SDL_AUDIODRIVER=", 16) != 0) environment.push_back(*variable);
    }
    for (std::string& extra : extraVariables)
        environment.push_back(extra.data());
    environment.push_back(nullptr);

    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);

    ProbeRun run;
    std::string probe = testing::buildPath(SDL_BEEP_PROBE);
    char* arguments[] = {probe.data(), nullptr};
    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&child, probe.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    EXPECT_EQ(spawned, 0) << probe;
    if (spawned == 0) {
        char buffer[512];
        ssize_t got = 0;
        while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
            run.output.append(buffer, got);
        int status = 0;
        waitpid(child, &status, 0);
        run.took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    close(pipeEnds[0]);
    return run;
}

TEST(SdlBeep, PrintsNothingWhateverTheAudioDriver) {
    for (const char* driver : {"", "SDL_AUDIODRIVER=dummy", "SDL_AUDIODRIVER=alsa",
                               "SDL_AUDIODRIVER=pulseaudio", "SDL_AUDIODRIVER=nonsense"}) {
        const ProbeRun run =
            runProbe(*driver != '\0' ? std::vector<std::string>{driver} : std::vector<std::string>{});
        const std::string name = *driver != '\0' ? driver : "SDL_AUDIODRIVER unset";
        EXPECT_EQ(run.exitStatus, 0) << name;
        EXPECT_EQ(run.output, "") << name;
        EXPECT_LT(run.took, milliseconds(5000)) << name << ": a missing device must not hang the game";
    }
}

// SDL's disk driver records what the device would have played: 16-bit mono at 48000 Hz.
std::vector<std::int16_t> recordedTone() {
    const std::string file = ::testing::TempDir() + "beep_tone.raw";
    static_cast<void>(std::remove(file.c_str()));
    const ProbeRun run = runProbe({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + file});
    EXPECT_EQ(run.exitStatus, 0);
    std::ifstream in(file, std::ios::binary);
    std::vector<std::int16_t> samples;
    std::uint8_t bytes[2];
    while (in.read(reinterpret_cast<char*>(bytes), 2)) {
        samples.push_back(static_cast<std::int16_t>(bytes[0] | bytes[1] << 8));
    }
    static_cast<void>(std::remove(file.c_str()));
    return samples;
}

TEST(SdlBeep, WithAWindowOpenPlaysAThousandHertzForAQuarterSecondWithoutClicks) {
    const std::vector<std::int16_t> recorded = recordedTone();
    const auto isSound = [](std::int16_t sample) { return sample != 0; };
    const auto first = std::find_if(recorded.begin(), recorded.end(), isSound);
    ASSERT_NE(first, recorded.end()) << "nothing was played";
    const auto last = std::find_if(recorded.rbegin(), recorded.rend(), isSound).base() - 1;
    const std::vector<std::int16_t> tone(first, last + 1);

    EXPECT_GE(tone.size(), 11900u) << "250 ms at 48000 Hz";
    EXPECT_LE(tone.size(), 12000u);
    int signChanges = 0;
    int loudest = 0;
    int biggestStep = 0;
    for (std::size_t i = 1; i < tone.size(); ++i) {
        if ((tone[i - 1] < 0) != (tone[i] < 0)) ++signChanges;
        loudest = std::max(loudest, std::abs(static_cast<int>(tone[i])));
        biggestStep = std::max(biggestStep, std::abs(tone[i] - tone[i - 1]));
    }
    EXPECT_NEAR(signChanges, 500, 4) << "two per cycle of 1000 Hz over 250 ms";
    EXPECT_GT(loudest, 5000) << "audible";
    // A click is a jump: the tone fades in from and out to silence and never moves faster than its sine.
    EXPECT_LT(std::abs(tone.front()), 200);
    EXPECT_LT(std::abs(tone.back()), 200);
    EXPECT_LE(biggestStep, loudest * 2 * 3.1416 * 1000 / 48000 + 2);
}

}  // namespace
}  // namespace zopp
