// NotifierClock: the arithmetic of the timers' clock.
#include "shell/notifier_clock.h"

NotifierClock::NotifierClock(long long wallAtStart, long long steadyAtStart)
    : offset_(wallAtStart - steadyAtStart) {}

long long NotifierClock::now(long long steady) const { return steady + offset_; }

long long NotifierClock::wallClockWait(long long length, long long wall, long long steady) const {
  return length + (wall - now(steady));
}
