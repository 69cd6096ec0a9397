// Pieces of instrument-sim that both kernel transports (uhid, USB gadget)
// share: the instrument's HID report descriptor, the control-line grammar and
// the lookup of the host-side hidraw node. Linux only; no Tcl, no hidapi.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "sim/instrument_model.h"

namespace sim {

// Vendor-defined page, one application collection, 64-byte input and output
// reports, no report IDs: what the real instrument declares.
extern const uint8_t kReportDescriptor[];
extern const size_t kReportDescriptorSize;

// One line of the control channel, parsed.
struct ControlRequest {
  enum Verb {
    kInvalid,  // `error` says why
    kUnplug,   // take the device away from the host
    kPlug,     // present it again
    kSilent,   // argument 1: never reply; 0: reply again
    kDelay,    // argument: milliseconds before each later reply is sent
    kHold,     // keep replies back until `release`
    kRelease,  // send every reply held or still delayed, now
    kNormal,   // silent off, delay 0, release
    kReset,    // power-cycle the instrument model
    kStatus,   // one line of state
    kLast,     // the last output report received, in hexadecimal
    kQuit,     // unplug and end the program
    kEmpty,    // blank line or comment: no reply
  };
  Verb verb = kInvalid;
  unsigned long argument = 0;
  std::string error;
};

// Words are separated by blanks; a line starting with '#' is a comment.
ControlRequest ParseControlLine(const std::string &line);

// "xx xx ... xx" (lower case, one blank between bytes).
std::string HexBytes(const uint8_t *bytes, size_t count);

// Splits "KEY=VALUE" lines of a sysfs uevent text; answers VALUE of `key`, or
// "" when the key is absent.
std::string UeventValue(const std::string &uevent, const std::string &key);

// What is known about one hidraw node of the host.
struct HidrawNode {
  std::string name;       // "hidraw3"
  std::string sysfsPath;  // the resolved device directory of hidraw3
  std::string hidUevent;  // uevent text of the HID device above it
};

// The /dev name ("/dev/hidraw3") of the first node under
// `sysfsRoot`/class/hidraw that `match` accepts; "" when none does.
std::string FindHidrawNode(const std::string &sysfsRoot,
                           const std::function<bool(const HidrawNode &)> &match);

// Polls /sys until a node matches and its /dev file exists (`present` true;
// `devNode` then names it), or until none matches and the /dev file of the
// node last seen is gone (`present` false). False after `timeoutMs`.
bool WaitForHidrawNode(const std::function<bool(const HidrawNode &)> &match, bool present,
                       unsigned timeoutMs, std::string &devNode);

// Milliseconds of a monotonic clock.
uint64_t MonotonicMs();

}  // namespace sim
