// The queue between the refresh thread and the program: an empty poll takes no lock, so it must still
// never lose, repeat or reorder an event posted concurrently.
#include <gtest/gtest.h>

#include <thread>

#include "frame/events.h"

namespace zopp {
namespace {

TEST(EventQueueThreads, EveryEventPostedByAnotherThreadArrivesOnceInOrder) {
    openEventQueue();
    constexpr int count = 20000;
    std::thread producer([] {
        for (int i = 0; i < count; ++i) {
            postEvent(ScreenEvent{PointerMove, i, 0, 0, 0});
            // The ring holds 127: give the consumer time now and then so nothing is dropped.
            if (i % 64 == 63) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    int expected = 0;
    int dropped = 0;
    ScreenEvent event{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (expected < count && std::chrono::steady_clock::now() < deadline) {
        if (pollEvent(&event) == 0) continue;
        ASSERT_GE(event.x, expected) << "repeated or out of order";
        dropped += event.x - expected;  // only if the producer ran a full ring ahead
        expected = event.x + 1;
    }
    producer.join();
    EXPECT_EQ(expected, count);
    EXPECT_LT(dropped, count / 10);
    EXPECT_EQ(pollEvent(&event), 0);
    closeEventQueue();
}

TEST(EventQueueThreads, AFullRingStillReportsItsEvents) {
    openEventQueue();
    for (int i = 0; i < 300; ++i)
        postEvent(ScreenEvent{PointerMove, i, 0, 0, 0});
    ScreenEvent event{};
    int taken = 0;
    while (pollEvent(&event) != 0)
        ++taken;
    EXPECT_EQ(taken, 127);
    EXPECT_EQ(event.x, 299);
    postEvent(ScreenEvent{ButtonUp, 1, 0, 0, 0});
    EXPECT_EQ(pollEvent(&event), -1);
    EXPECT_EQ(event.type, ButtonUp);
    closeEventQueue();
}

}  // namespace
}  // namespace zopp
