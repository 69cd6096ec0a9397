#pragma once

#include <tcl.h>

// Answers "1": lets a script tell that it runs inside this shell.
int ShellProbe(ClientData, Tcl_Interp *interp, int argc, const char *argv[]);
