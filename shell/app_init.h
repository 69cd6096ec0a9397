#pragma once

#include <tcl.h>

// Tk's application initialisation for the shell: Tcl, Tk, the console, the
// eight commands, LINUX, the script key and the boot line for the mode.
int AppInit(Tcl_Interp *interp);

// The console window is created when this is true (the shell as shipped).
extern bool ConsoleEnabled;
