#include "shell/commands.h"

// Placeholder until the text encryption lands.
int DecryptText(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const objv[]) { return CommandNotAvailable(interp, objv); }
int EncryptText(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const objv[]) { return CommandNotAvailable(interp, objv); }

