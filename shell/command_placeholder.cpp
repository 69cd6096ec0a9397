#include "shell/commands.h"

int CommandNotAvailable(Tcl_Interp *interp, Tcl_Obj *const objv[]) {
  Tcl_SetObjResult(interp, Tcl_ObjPrintf("\"%s\" is not available yet in this build", Tcl_GetString(objv[0])));
  return TCL_ERROR;
}
