// The simulated timeline: events run in time order when their time comes, during sleeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kv/sim/clock.h"

namespace kv::sim {
namespace {

TEST(SimClockTest, VirtualAdvanceRunsDueEventsInOrderAtTheirTime) {
    SimClock clock(SimClock::Mode::Virtual);
    std::vector<std::string> log;
    clock.schedule(300, [&] { log.push_back("b@" + std::to_string(clock.nowMs())); });
    clock.schedule(100, [&] { log.push_back("a@" + std::to_string(clock.nowMs())); });
    clock.schedule(300, [&] { log.push_back("c@" + std::to_string(clock.nowMs())); });
    clock.schedule(900, [&] { log.push_back("late"); });
    clock.advance(500);
    EXPECT_EQ(log, (std::vector<std::string>{"a@100", "b@300", "c@300"}));
    EXPECT_EQ(clock.nowMs(), 500u);
    EXPECT_EQ(clock.nextEventAt(), 900u);
}

TEST(SimClockTest, EventsScheduledByEventsRunWithinTheSameAdvance) {
    SimClock clock(SimClock::Mode::Virtual);
    std::vector<uint64_t> times;
    clock.schedule(100, [&] {
        times.push_back(clock.nowMs());
        clock.schedule(50, [&] { times.push_back(clock.nowMs()); });
    });
    clock.advance(1000);
    EXPECT_EQ(times, (std::vector<uint64_t>{100, 150}));
}

TEST(SimClockTest, CancelledEventsNeverRun) {
    SimClock clock(SimClock::Mode::Virtual);
    bool ran = false;
    const auto id = clock.schedule(10, [&] { ran = true; });
    clock.cancel(id);
    clock.advance(100);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(clock.hasPending());
}

}  // namespace
}  // namespace kv::sim

namespace kv::sim {
namespace {

TEST(SimClockTest, AdvanceUntilStopsAtTheEventThatSettlesIt) {
    SimClock clock(SimClock::Mode::Virtual);
    bool arrived = false;
    clock.schedule(120, [&] { arrived = true; });
    clock.schedule(130, [] {});
    EXPECT_TRUE(clock.advanceUntil(500, [&] { return arrived; }));
    EXPECT_EQ(clock.nowMs(), 120u);
    EXPECT_EQ(clock.nextEventAt(), 130u);

    // Nothing settles it: the clock stands at the deadline, later events still wait.
    clock.schedule(1000, [&] { arrived = false; });
    EXPECT_FALSE(clock.advanceUntil(500, [&] { return !arrived; }));
    EXPECT_EQ(clock.nowMs(), 620u);
    // A zero wait only looks.
    EXPECT_FALSE(clock.advanceUntil(0, [&] { return !arrived; }));
    EXPECT_EQ(clock.nowMs(), 620u);
}

}  // namespace
}  // namespace kv::sim
