// POSIX (Linux) clocks for platform.h: CLOCK_REALTIME, CLOCK_MONOTONIC and a
// timerfd that the kernel cancels whenever CLOCK_REALTIME is set.
#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace platform {

namespace {

long long microseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// An absolute expiry that never comes: only a change of the clock wakes it.
bool armForClockChanges(int watch) {
  itimerspec never{};
  never.it_value.tv_sec = static_cast<time_t>(LONG_MAX);
  return timerfd_settime(watch, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
}

}  // namespace

long long wallClockMicroseconds() { return microseconds(CLOCK_REALTIME); }

long long steadyClockMicroseconds() { return microseconds(CLOCK_MONOTONIC); }

bool notifierWaitsForWallClock() { return true; }

int openClockSetWatch(std::string *reason) {
  int watch = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (watch < 0) {
    *reason = std::string("timerfd_create: ") + std::strerror(errno);
    return -1;
  }
  if (!armForClockChanges(watch)) {
    *reason = std::string("timerfd_settime: ") + std::strerror(errno);
    close(watch);
    return -1;
  }
  return watch;
}

void rearmClockSetWatch(int watch) {
  // After a change the read fails with ECANCELED, which clears the news.
  unsigned long long expiries = 0;
  while (read(watch, &expiries, sizeof expiries) > 0) {
  }
  armForClockChanges(watch);
}

}  // namespace platform
