#pragma once

#include <tcl.h>

// Tk's application initialisation for the shell: Tcl, Tk, the console, the
// eight commands, LINUX, the script key and the boot line for the mode.
int AppInit(Tcl_Interp *interp);

// The mode words (compared with letters folded) that choose a boot other
// than the plain dashboard.
extern const char kAutoMode[];
extern const char kInstallationMode[];

// The console window is created when this is true (the shell as shipped).
extern bool ConsoleEnabled;
