#include "shell/shell_probe.h"

// ShellProbe ?anything ...?: answers "1", so a script can tell it runs in
// this shell rather than in a plain wish.
int ShellProbe(ClientData, Tcl_Interp *interp, int, const char *[]) {
  Tcl_SetResult(interp, const_cast<char *>("1"), TCL_STATIC);
  return TCL_OK;
}
