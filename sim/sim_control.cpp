// SimInstrument: the control command of fieldwish-sim, for tests and demos.
// It changes the virtual link and the instrument behind it; it never touches
// DeviceHandle (it only reports which handle is held).
#include <cstdio>
#include <string>

#include "device/device_handle.h"
#include "shell/extra_commands.h"
#include "sim/sim_hidapi.h"

namespace {

const char kControlCommandName[] = "SimInstrument";

// A Tcl text (UTF-8) as a wide string.
std::wstring toWide(Tcl_Obj *obj) {
  Tcl_DString ds;
  int length = 0;
  const char *utf = Tcl_GetStringFromObj(obj, &length);
  Tcl_DStringInit(&ds);
  const Tcl_UniChar *chars = Tcl_UtfToUniCharDString(utf, length, &ds);
  std::wstring wide;
  for (const Tcl_UniChar *p = chars; *p != 0; ++p) wide += static_cast<wchar_t>(*p);
  Tcl_DStringFree(&ds);
  return wide;
}

int getUnsigned16(Tcl_Interp *interp, Tcl_Obj *obj, uint16_t *value) {
  int n = 0;
  if (Tcl_GetIntFromObj(interp, obj, &n) != TCL_OK) return TCL_ERROR;
  if (n < 0 || n > 0xFFFF) {
    Tcl_SetObjResult(interp, Tcl_ObjPrintf("expected a 16-bit value but got \"%s\"", Tcl_GetString(obj)));
    return TCL_ERROR;
  }
  *value = static_cast<uint16_t>(n);
  return TCL_OK;
}

// SimInstrument adddevice ?-option value ...?: another device for the
// enumeration. Strings not given are missing (null).
int addDevice(Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  static const char *const options[] = {"-path", "-vendor", "-product", "-release", "-interface",
                                        "-serial", "-manufacturer", "-productname", nullptr};
  enum Option { kPath, kVendor, kProduct, kRelease, kInterface, kSerial, kManufacturer, kProductName };
  sim::VirtualLink &link = sim::virtualLink();
  sim::ExtraDevice device;
  device.path = "virtual/device-" + std::to_string(link.extraDevices.size() + 1);
  if ((objc - 2) % 2 != 0) {
    Tcl_WrongNumArgs(interp, 2, objv, "?-option value ...?");
    return TCL_ERROR;
  }
  for (int i = 2; i < objc; i += 2) {
    int index = 0;
    if (Tcl_GetIndexFromObj(interp, objv[i], options, "option", 0, &index) != TCL_OK) return TCL_ERROR;
    Tcl_Obj *value = objv[i + 1];
    switch (static_cast<Option>(index)) {
      case kPath: device.path = Tcl_GetString(value); break;
      case kVendor: if (getUnsigned16(interp, value, &device.vendorId) != TCL_OK) return TCL_ERROR; break;
      case kProduct: if (getUnsigned16(interp, value, &device.productId) != TCL_OK) return TCL_ERROR; break;
      case kRelease: if (getUnsigned16(interp, value, &device.release) != TCL_OK) return TCL_ERROR; break;
      case kInterface:
        if (Tcl_GetIntFromObj(interp, value, &device.interfaceNumber) != TCL_OK) return TCL_ERROR;
        break;
      case kSerial: device.serial = toWide(value); break;
      case kManufacturer: device.manufacturer = toWide(value); break;
      case kProductName: device.product = toWide(value); break;
    }
  }
  link.extraDevices.push_back(device);
  Tcl_SetObjResult(interp, Tcl_NewIntObj(static_cast<int>(link.extraDevices.size())));
  return TCL_OK;
}

std::string hexBytes(const std::vector<uint8_t> &bytes) {
  std::string text;
  char two[4];
  for (uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x ", b);
    text += two;
  }
  return text;
}

Tcl_Obj *countersDict() {
  const sim::VirtualLink &link = sim::virtualLink();
  Tcl_Obj *dict = Tcl_NewDictObj();
  auto put = [dict](const char *key, long value) {
    Tcl_DictObjPut(nullptr, dict, Tcl_NewStringObj(key, -1), Tcl_NewLongObj(value));
  };
  put("opens", link.counters.opens);
  put("closes", link.counters.closes);
  put("open", static_cast<long>(link.counters.opens) - static_cast<long>(link.counters.closes));
  put("writes", link.counters.writes);
  put("reads", link.counters.reads);
  put("queued", static_cast<long>(link.instrument.queuedReplies()));
  put("commands", link.instrument.commandsReceived());
  return dict;
}

// SimInstrument subcommand ?arg ...?: see sim/README.md for each subcommand.
int SimInstrumentCmd(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) noexcept {
  static const char *const subcommands[] = {
      "adddevice", "attach",  "cleardevices", "counters",  "delay",  "detach",   "handle",
      "initfail",  "lastwrite", "nonblocking", "readfault", "reset", "silent",   "writefault", nullptr};
  enum Subcommand {
    kAddDevice, kAttach, kClearDevices, kCounters, kDelay, kDetach, kHandle,
    kInitFail, kLastWrite, kNonBlocking, kReadFault, kReset, kSilent, kWriteFault
  };
  // Words each subcommand takes after its name (adddevice checks its own).
  static const int kArgumentCount[] = {-1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1};
  static const char *const kUsage[] = {nullptr, "", "", "", "polls", "", "", "boolean", "", "",
                                       "boolean", "", "boolean", "none|refuse|fail"};
  if (objc < 2) {
    Tcl_WrongNumArgs(interp, 1, objv, "subcommand ?arg ...?");
    return TCL_ERROR;
  }
  int index = 0;
  if (Tcl_GetIndexFromObj(interp, objv[1], subcommands, "subcommand", 0, &index) != TCL_OK) return TCL_ERROR;
  if (kArgumentCount[index] >= 0 && objc != 2 + kArgumentCount[index]) {
    Tcl_WrongNumArgs(interp, 2, objv, kUsage[index]);
    return TCL_ERROR;
  }
  sim::VirtualLink &link = sim::virtualLink();
  int flag = 0;
  switch (static_cast<Subcommand>(index)) {
    case kAddDevice:
      return addDevice(interp, objc, objv);
    case kAttach:
      link.attach();
      break;
    case kClearDevices:
      link.extraDevices.clear();
      break;
    case kCounters:
      Tcl_SetObjResult(interp, countersDict());
      break;
    case kDelay: {
      int polls = 0;
      if (Tcl_GetIntFromObj(interp, objv[2], &polls) != TCL_OK) return TCL_ERROR;
      if (polls < 0) {
        Tcl_SetObjResult(interp, Tcl_ObjPrintf("expected a poll count but got \"%s\"", Tcl_GetString(objv[2])));
        return TCL_ERROR;
      }
      link.instrument.setReplyDelay(static_cast<unsigned>(polls));
      break;
    }
    case kDetach:
      link.detach();
      break;
    case kHandle:
      // Which handle the shell holds: "none", or the handle's number.
      if (DeviceHandle == nullptr) {
        Tcl_SetObjResult(interp, Tcl_NewStringObj("none", -1));
      } else {
        Tcl_SetObjResult(interp, Tcl_NewLongObj(static_cast<long>(sim::handleId(DeviceHandle))));
      }
      break;
    case kInitFail:
      if (Tcl_GetBooleanFromObj(interp, objv[2], &flag) != TCL_OK) return TCL_ERROR;
      link.initFails = flag != 0;
      break;
    case kLastWrite:
      Tcl_SetObjResult(interp, Tcl_NewStringObj(hexBytes(link.lastWrite).c_str(), -1));
      break;
    case kNonBlocking:
      Tcl_SetObjResult(interp, Tcl_NewBooleanObj(sim::handleNonBlocking(DeviceHandle)));
      break;
    case kReadFault:
      if (Tcl_GetBooleanFromObj(interp, objv[2], &flag) != TCL_OK) return TCL_ERROR;
      link.readFails = flag != 0;
      break;
    case kReset:
      link.reset();
      break;
    case kSilent:
      if (Tcl_GetBooleanFromObj(interp, objv[2], &flag) != TCL_OK) return TCL_ERROR;
      link.instrument.setSilent(flag != 0);
      break;
    case kWriteFault: {
      static const char *const faults[] = {"none", "refuse", "fail", nullptr};
      static const sim::WriteFault kFaults[] = {sim::WriteFault::kNone, sim::WriteFault::kRefuse,
                                                sim::WriteFault::kFailOnCompletion};
      int fault = 0;
      if (Tcl_GetIndexFromObj(interp, objv[2], faults, "fault", 0, &fault) != TCL_OK) return TCL_ERROR;
      link.writeFault = kFaults[fault];
      break;
    }
  }
  return TCL_OK;
}

}  // namespace

void RegisterExtraCommands(Tcl_Interp *interp) {
  Tcl_CreateObjCommand(interp, kControlCommandName, SimInstrumentCmd, nullptr, nullptr);
}
