#include "device/instrument_link.h"
#include "device/device_commands.h"

// HidConnect ?anything ...?: answers "1" when the instrument is held and
// answers, "0" otherwise. Opens it when no handle is held; probes the held
// handle and drops it when the probe fails. Words after the name are ignored.
int HidConnect(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const[]) {
  bool held = device::connectInstrument();
  Tcl_SetObjResult(interp, Tcl_NewStringObj(held ? "1" : "0", -1));
  return TCL_OK;
}
