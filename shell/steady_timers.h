// Tcl's timers on the steady clock, and the wall clock for scripts.
#pragma once

#include <tcl.h>

// Makes the steady clock Tcl's time source (Tcl_SetTimeProc), so that `after`
// timers, `vwait` and `clock clicks` go on at their pace when the system's
// clock is set back or forward. Call once, before Tcl_Init.
void UseSteadyTimers();

// In INTERP: `clock seconds`, `clock milliseconds` and `clock microseconds`
// read the system's wall clock as in any Tcl, and Tcl's notifier waits in
// step with it (woken when the clock is set, where its waits need that).
// Call after Tcl_Init. A watch for clock changes that cannot be made is told
// in a diagnostic line.
void UseWallClockReaders(Tcl_Interp *interp);
