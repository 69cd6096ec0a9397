// The work of the three instrument commands, over hidapi's C functions and
// DeviceHandle; no Tcl. The command procedures turn the outcomes into answers.
// Memory exhaustion ends the process (noexcept): no exception reaches Tcl.
#pragma once

#include <hidapi.h>
#include <string>

#include "device/command_report.h"

namespace device {

// Opens the instrument into DeviceHandle when none is held, or probes the held
// one through its manufacturer string (and, since hidraw answers that from a
// cache, through the kernel's view of the device: device_presence.h); a failed
// probe closes and drops it (a handle left open would block later opens where
// the HID layer shares devices for reading only). True when a live handle is
// held afterwards.
bool connectInstrument() noexcept;

// The survey report: every HID device, then the outcome of a trial open of the
// instrument. The trial handle is closed at once; DeviceHandle is not touched.
std::string surveyDevices() noexcept;

// What "WriteFile length = %d" shows for `device`: its longest output report,
// report ID byte included, as the system's HID stack or else its report
// descriptor tells; 65 (the length always written) when that cannot be known.
int writeLength(hid_device *device);

// Sends the command report at the start of `buffer` to DeviceHandle and polls
// for the reply, printing the exchange's trace on standard output line by
// line. Answers the reply bytes as text, or a status text. Never changes
// DeviceHandle.
std::string exchangeCommand(ExchangeBuffer &buffer) noexcept;

}  // namespace device
