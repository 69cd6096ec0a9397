// The timers' clock: steady across steps of the wall clock, and waits handed
// to a notifier that counts on the wall clock; the platform's two clocks.
#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "shell/notifier_clock.h"

namespace {

const long long kSecond = 1000000;
const long long kHour = 3600 * kSecond;

TEST(NotifierClock, ReadsAsTheWallClockDidAtTheStart) {
  NotifierClock clock(1700000000 * kSecond, 42 * kSecond);
  EXPECT_EQ(clock.now(42 * kSecond), 1700000000 * kSecond);
  EXPECT_EQ(clock.now(43 * kSecond + 5), 1700000001 * kSecond + 5);
}

// The notifier's time follows only the steady clock: a step of the wall clock
// moves neither it nor the wait it hands to a notifier that counts lengths.
TEST(NotifierClock, AWaitEndsOnTimeOnTheWallClockWhateverItsSteps) {
  const long long start = 1700000000 * kSecond;
  NotifierClock clock(start, 0);
  for (long long step : {0LL, -10 * kSecond, -kHour, kHour}) {
    long long steady = 5 * kSecond;
    long long wall = start + steady + step;
    long long wait = clock.wallClockWait(100000, wall, steady);
    // The notifier waits until now() + wait on the wall clock.
    EXPECT_EQ(clock.now(steady) + wait - wall, 100000) << "step " << step;
  }
}

TEST(PlatformClocks, SteadyGoesForwardAtTheRateOfTime) {
  long long before = platform::steadyClockMicroseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  long long elapsed = platform::steadyClockMicroseconds() - before;
  EXPECT_GE(elapsed, 19000);
  EXPECT_LT(elapsed, 2 * kSecond);
}

TEST(PlatformClocks, WallIsTheSystemsTimeOfDay) {
  long long wall = platform::wallClockMicroseconds() / kSecond;
  long long system = static_cast<long long>(std::time(nullptr));
  EXPECT_LE(std::llabs(wall - system), 1);
}

// Only a change of the clock makes the watch readable; its news is taken
// when it is armed again.
TEST(PlatformClocks, ClockSetWatchWhereTheNotifierNeedsIt) {
  std::string reason;
  int watch = platform::openClockSetWatch(&reason);
  if (!platform::notifierWaitsForWallClock()) {
    EXPECT_EQ(watch, -1);
    return;
  }
  ASSERT_GE(watch, 0) << reason;
  platform::rearmClockSetWatch(watch);
}

}  // namespace
