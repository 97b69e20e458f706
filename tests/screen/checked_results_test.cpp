// The checked screen operations leave the number they return in errorNumber, which the run-time error
// report names: a caller that raises the error right after a failed call reports that failure.
#include <gtest/gtest.h>

#include <vector>

#include "frame/runtime.h"
#include "harness/support/memory_screen_fixture.h"
#include "harness/support/test_paths.h"
#include "screen/drawing/blit.h"
#include "screen/text/text.h"
#include "screen/text/text_mode.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

using CheckedResults = testing::MemoryScreen;

// Stores a different number first, so only the call itself can leave the expected one.
template <typename Call>
void expectStoresItsResult(std::int32_t expected, Call call) {
    setErrorNumber(expected == 0 ? 5 : 0);
    EXPECT_EQ(call(), expected);
    EXPECT_EQ(errorNumber(), expected);
}

TEST_F(CheckedResults, EachFailureIsStoredAsTheNumberReturned) {
    std::vector<std::uint8_t> bytes(32 + 64 * 64 * 4);
    expectStoresItsResult(1, [] { return openScreen(640, 480, 12, 0, 4, 0); });
    expectStoresItsResult(1, [] { return setTextGrid(80, 30); });
    expectStoresItsResult(2, [&] { return loadBitmap("no/such/picture.bmp", bytes); });
    openMemoryScreen();
    expectStoresItsResult(1, [] { return putImage(kScreen, 0, 0, ConstImageBytes{}); });
    expectStoresItsResult(1, [&] { return copyScreenRect(kScreen, 600, 380, 650, 429, bytes); });
    expectStoresItsResult(1, [] { return drawText(kScreen, 0, 0, 0, std::string_view{}, 0); });
}

TEST_F(CheckedResults, SuccessStoresZero) {
    std::vector<std::uint8_t> bytes(32 + 64 * 64 * 4);
    expectStoresItsResult(0, [] { return openScreen(640, 480, 32, 0, 4, 0); });
    expectStoresItsResult(0, [] { return setTextGrid(80, 30); });
    expectStoresItsResult(0, [&] { return copyScreenRect(kScreen, 0, 0, 63, 63, bytes); });
    expectStoresItsResult(0, [&] { return putImage(kScreen, 10, 10, bytes); });
    expectStoresItsResult(0, [&] { return loadBitmap(testing::sourcePath("dat/1.bmp"), bytes); });
    expectStoresItsResult(0, [] { return drawText(kScreen, 0, 0, 0, "ZOPP", 0xFFFFFF); });
}

TEST(CheckedResultsReport, FailedLoadThenRaiseReportsErrorTwoAndExitsWithTwo) {
    std::vector<std::uint8_t> bytes(64);
    setErrorNumber(0);
    EXPECT_EXIT(
        {
            if (loadBitmap("no/such/picture.bmp", bytes) != 0) raiseRuntimeError(117, "game/ZOPP.cpp");
        },
        ::testing::ExitedWithCode(2), "runtime error 2 \\(file not found\\) at line 117 of game/ZOPP\\.cpp");
}

}  // namespace
}  // namespace zopp
