#include "shell/commands.h"

// Placeholder until the device link lands.
int HidCommand(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const objv[]) { return CommandNotAvailable(interp, objv); }

