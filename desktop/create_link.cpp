#include "shell/commands.h"

// Placeholder until the shell link writer lands.
int CreateLink(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const objv[]) { return CommandNotAvailable(interp, objv); }

