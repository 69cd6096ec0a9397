// The clock that Tcl's timers run on: plain C++, no Tcl and no OS calls.
//
// Tcl keeps each `after` timer as a moment of its time source and, left to
// itself, takes that source from the wall clock: set the clock back an hour
// and every timer waits an hour longer. The notifier clock is the steady
// clock instead, set at the start to read as the wall clock did then, so
// that timers keep their lengths whatever happens to the wall clock.
#pragma once

class NotifierClock {
 public:
  // Both readings in microseconds, taken together at the start.
  NotifierClock(long long wallAtStart, long long steadyAtStart);

  // The notifier's time, in microseconds, at the steady clock's reading.
  long long now(long long steady) const;

  // A wait of `length` microseconds, for a notifier that adds it to now()
  // and then waits until that moment on the wall clock (reading `wall`):
  // the length to hand it so that the wait still lasts `length`.
  long long wallClockWait(long long length, long long wall, long long steady) const;

 private:
  long long offset_;  // wall minus steady at the start
};
