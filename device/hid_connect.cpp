#include "shell/commands.h"

// Placeholder until the device link lands.
int HidConnect(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const objv[]) { return CommandNotAvailable(interp, objv); }

