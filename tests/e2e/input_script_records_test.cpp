// The records the platforms' runs of the input script posted (input_script_e2e_test here and under
// Wine, input_script_e2e.mjs in a browser) are the same, step by step, wherever both played the step.
#include <gtest/gtest.h>

#include <array>

#include "harness/support/test_paths.h"
#include "tests/e2e/input_script.h"

namespace zopp::e2e {

bool operator==(const Event& a, const Event& b) {
    return a.type == b.type && a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d;
}

namespace {

TEST(InputScript, EveryPlatformPostsTheSameRecords) {
    const InputScript script = readInputScript(testing::sourcePath("tests/e2e/input_script.txt"));
    std::map<std::string, PlayedSteps> runs;
    for (const char* platform : {"linux", "windows", "web"}) {
        if (auto played = readRecords(testing::buildPath("input-script/" + std::string(platform))))
            runs.emplace(platform, *std::move(played));
    }
    if (runs.size() < 2) GTEST_SKIP() << "fewer than two platforms played the script";

    for (std::size_t index = 0; index < script.steps.size(); ++index) {
        const ScriptStep& step = script.steps[index];
        const std::vector<Event>* first = nullptr;
        std::string firstPlatform;
        for (const auto& [platform, played] : runs) {
            if (!script.plays(platform, step)) continue;
            const auto posted = played.find(static_cast<int>(index));
            ASSERT_NE(posted, played.end()) << platform << " did not play line " << step.line;
            if (first == nullptr) {
                first = &posted->second;
                firstPlatform = platform;
            } else {
                EXPECT_EQ(posted->second, *first)
                    << "line " << step.line << ": " << platform << " posted " << describe(posted->second)
                    << ", " << firstPlatform << " " << describe(*first);
            }
        }
    }
}

}  // namespace
}  // namespace zopp::e2e
