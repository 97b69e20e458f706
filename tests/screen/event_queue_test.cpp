#include <gtest/gtest.h>

#include "frame/events.h"

namespace zopp {
namespace {

class EventQueueTest : public ::testing::Test {
  protected:
    void SetUp() override { openEventQueue(); }
    void TearDown() override { closeEventQueue(); }
};

ScreenEvent numbered(std::int32_t n) {
    return ScreenEvent{PointerMove, n, -n, n * 2, n * 3};
}

TEST_F(EventQueueTest, EmptyQueueReturnsZeroAndLeavesRecordUntouched) {
    ScreenEvent record{99, 1, 2, 3, 4};
    EXPECT_EQ(pollEvent(&record), 0);
    EXPECT_EQ(record.type, 99);
    EXPECT_EQ(record.x, 1);
    EXPECT_EQ(record.dy, 4);
}

TEST_F(EventQueueTest, OneEventIsTakenOnceWithAllSlots) {
    postEvent(numbered(7));
    ScreenEvent record{};
    EXPECT_EQ(pollEvent(&record), -1);
    EXPECT_EQ(record.type, PointerMove);
    EXPECT_EQ(record.x, 7);
    EXPECT_EQ(record.y, -7);
    EXPECT_EQ(record.dx, 14);
    EXPECT_EQ(record.dy, 21);
    EXPECT_EQ(pollEvent(&record), 0);
}

TEST_F(EventQueueTest, NullRecordPeeksWithoutRemoving) {
    postEvent(numbered(1));
    EXPECT_EQ(pollEvent(nullptr), -1);
    EXPECT_EQ(pollEvent(nullptr), -1);
    ScreenEvent record{};
    EXPECT_EQ(pollEvent(&record), -1);
    EXPECT_EQ(record.x, 1);
    EXPECT_EQ(pollEvent(nullptr), 0);
}

TEST_F(EventQueueTest, EventsComeOutInPostingOrder) {
    for (int n = 1; n <= 5; ++n)
        postEvent(numbered(n));
    ScreenEvent record{};
    for (int n = 1; n <= 5; ++n) {
        ASSERT_EQ(pollEvent(&record), -1);
        EXPECT_EQ(record.x, n);
    }
}

TEST_F(EventQueueTest, OverflowKeepsTheNewest127) {
    for (int n = 1; n <= 128; ++n)
        postEvent(numbered(n));
    ScreenEvent record{};
    int taken = 0;
    int expected = 2;  // the first one posted is lost
    while (pollEvent(&record)) {
        EXPECT_EQ(record.x, expected++);
        ++taken;
    }
    EXPECT_EQ(taken, 127);
}

TEST_F(EventQueueTest, WrapsAroundTheRingManyTimes) {
    ScreenEvent record{};
    for (int n = 0; n < 1000; ++n) {
        postEvent(numbered(n));
        postEvent(numbered(n + 1));
        ASSERT_EQ(pollEvent(&record), -1);
        EXPECT_EQ(record.x, n);
        ASSERT_EQ(pollEvent(&record), -1);
        EXPECT_EQ(record.x, n + 1);
    }
    EXPECT_EQ(pollEvent(&record), 0);
}

TEST(EventQueueLifetime, NoQueueMeansNoEvents) {
    ScreenEvent record{5, 5, 5, 5, 5};
    postEvent(numbered(3));  // dropped: no queue exists
    EXPECT_EQ(pollEvent(&record), 0);
    EXPECT_EQ(pollEvent(nullptr), 0);
    EXPECT_EQ(record.type, 5);
}

TEST(EventQueueLifetime, ReopeningStartsEmpty) {
    openEventQueue();
    postEvent(numbered(3));
    closeEventQueue();
    EXPECT_EQ(pollEvent(nullptr), 0);
    openEventQueue();
    EXPECT_EQ(pollEvent(nullptr), 0);
    closeEventQueue();
}

}  // namespace
}  // namespace zopp
