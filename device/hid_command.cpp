#include <string>

#include "device/command_report.h"
#include "device/instrument_link.h"
#include "device/device_commands.h"

// HidCommand command ?byte ...?: sends the command number (low eight bits)
// and up to 63 hexadecimal data bytes to the held instrument and answers its
// reply as hexadecimal text, or "Unable to write()", "Got Nothing after N."
// or "Unable to read.". Prints the exchange's trace on standard output.
int HidCommand(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "command ?byte ...?");
    return TCL_ERROR;
  }
  const char *dataWords[device::kMaxDataBytes];
  size_t dataCount = 0;
  for (int i = 2; i < objc && dataCount < device::kMaxDataBytes; ++i) {
    dataWords[dataCount++] = Tcl_GetString(objv[i]);
  }
  device::ExchangeBuffer buffer;
  device::buildCommandReport(Tcl_GetString(objv[1]), dataWords, dataCount, buffer);

  std::string answer = device::exchangeCommand(buffer);
  Tcl_DString result;
  Tcl_DStringInit(&result);
  Tcl_DStringAppend(&result, answer.data(), static_cast<int>(answer.size()));
  Tcl_DStringResult(interp, &result);
  return TCL_OK;
}
