#include "shell/extra_commands.h"

// The shipped shell has no commands beyond its own eight.
void RegisterExtraCommands(Tcl_Interp *) {}
