// Tcl's time source on the steady clock (the documented hook of
// Tcl_SetTimeProc), the wall clock kept for `clock seconds/milliseconds/
// microseconds`, and the unix notifier's waits kept in step.
//
// Tcl turns `after 100` into a moment of its time source and waits for it.
// On the wall clock a step back of an hour holds every timer for an hour (and
// a poll loop with it); on the steady clock the timers never notice. Scripts
// still read the wall clock for time stamps: the three clock readers are
// replaced by ones that ask it; `clock clicks` stays on the steady clock, so
// that the difference of the two shows the clock's steps.
//
// The unix notifier adds the wait it was given to Tcl_GetTime and hands the
// sum to pthread_cond_timedwait, which counts on the wall clock. So while the
// notifier is about to wait (between this file's event source's setup and
// check), the time scale hook turns the wait into wall-clock terms; and a
// timerfd that the kernel cancels when the clock is set wakes a wait in
// progress, whose end the change has moved.
#include "shell/steady_timers.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/notifier_clock.h"

namespace {

NotifierClock *notifierClock = nullptr;
// True from the event source's setup to its check: the notifier's wait is next.
bool notifierAboutToWait = false;

void steadyTime(Tcl_Time *time, ClientData) {
  long long now = notifierClock->now(platform::steadyClockMicroseconds());
  time->sec = static_cast<long>(now / 1000000);
  time->usec = static_cast<long>(now % 1000000);
}

// Tcl_Sleep also scales its waits, and waits for lengths: only the
// notifier's wait is turned into wall-clock terms.
void scaleWait(Tcl_Time *time, ClientData) {
  if (!notifierAboutToWait) return;
  notifierAboutToWait = false;
  long long length = static_cast<long long>(time->sec) * 1000000 + time->usec;
  long long wait = notifierClock->wallClockWait(length, platform::wallClockMicroseconds(),
                                                platform::steadyClockMicroseconds());
  // The notifier adds seconds and microseconds apart: microseconds stay 0..999999.
  long long seconds = wait >= 0 ? wait / 1000000 : -((-wait + 999999) / 1000000);
  time->sec = static_cast<long>(seconds);
  time->usec = static_cast<long>(wait - seconds * 1000000);
}

void markWaitSetup(ClientData, int) { notifierAboutToWait = true; }
void markWaitCheck(ClientData, int) { notifierAboutToWait = false; }

void clockWasSet(ClientData data, int) {
  platform::rearmClockSetWatch(static_cast<int>(reinterpret_cast<intptr_t>(data)));
}

// clock seconds | milliseconds | microseconds: the wall clock in the unit
// whose count per second is the client data.
int WallClockCmd(ClientData data, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc != 1) {
    Tcl_WrongNumArgs(interp, 1, objv, nullptr);
    return TCL_ERROR;
  }
  long long perSecond = static_cast<long long>(reinterpret_cast<intptr_t>(data));
  Tcl_SetObjResult(interp, Tcl_NewWideIntObj(platform::wallClockMicroseconds() / (1000000 / perSecond)));
  return TCL_OK;
}

}  // namespace

void UseSteadyTimers() {
  if (notifierClock != nullptr) return;
  notifierClock = new NotifierClock(platform::wallClockMicroseconds(), platform::steadyClockMicroseconds());
  Tcl_SetTimeProc(steadyTime, scaleWait, nullptr);
}

void UseWallClockReaders(Tcl_Interp *interp) {
  static const struct {
    const char *name;
    intptr_t perSecond;
  } readers[] = {{"::tcl::clock::seconds", 1}, {"::tcl::clock::milliseconds", 1000},
                 {"::tcl::clock::microseconds", 1000000}};
  for (const auto &reader : readers) {
    Tcl_CreateObjCommand(interp, reader.name, WallClockCmd, reinterpret_cast<ClientData>(reader.perSecond),
                         nullptr);
  }
  if (!platform::notifierWaitsForWallClock()) return;
  Tcl_CreateEventSource(markWaitSetup, markWaitCheck, nullptr);
  std::string reason;
  int watch = platform::openClockSetWatch(&reason);
  if (watch < 0) {
    // Timers still keep their lengths; only a wait under way when the clock
    // is set may end late.
    std::printf("changes of the clock are not watched: %s\n", reason.c_str());
    return;
  }
  Tcl_Channel channel =
      Tcl_MakeFileChannel(reinterpret_cast<ClientData>(static_cast<intptr_t>(watch)), TCL_READABLE);
  Tcl_CreateChannelHandler(channel, TCL_READABLE, clockWasSet,
                           reinterpret_cast<ClientData>(static_cast<intptr_t>(watch)));
}
