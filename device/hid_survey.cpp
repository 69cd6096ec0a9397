#include <string>

#include "device/instrument_link.h"
#include "device/device_commands.h"

// HidSurvey ?anything ...?: answers a report of every attached HID device,
// ending with the outcome of a trial open of the instrument. Leaves
// DeviceHandle alone. Words after the name are ignored.
int HidSurvey(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const[]) {
  std::string report = device::surveyDevices();
  Tcl_DString answer;
  Tcl_DStringInit(&answer);
  Tcl_DStringAppend(&answer, report.data(), static_cast<int>(report.size()));
  Tcl_DStringResult(interp, &answer);
  return TCL_OK;
}
