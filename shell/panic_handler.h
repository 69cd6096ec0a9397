#pragma once

// Tcl's fatal-error hook: formats the message (cut to 1,023 bytes), beeps,
// shows it in the "Fatal Error in Wish" box, breaks into an attached
// debugger and ends the process with status 1. Never returns.
[[noreturn]] void PanicHandler(const char *format, ...);
