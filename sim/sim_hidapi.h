// The in-process transport: hidapi's functions, defined in sim_hidapi.cpp
// under hidapi's own names and backed by the instrument model, for the shell
// fieldwish-sim, the tests and the benchmarks. This header is the transport's
// control side: what the control command (and a benchmark) can change.
#pragma once

#include <hidapi.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/instrument_model.h"

namespace sim {

// The instrument's device path in the enumeration.
extern const char kInstrumentPath[];  // "virtual/instrument"

// How the next writes to the instrument fail, until changed.
enum class WriteFault {
  kNone,
  kRefuse,             // refused at once
  kFailOnCompletion,   // started, then failed (hid_error names the stage "hid_write/...")
};

// Another HID device, shown by the enumeration only (it cannot be opened).
// A string left empty (nullopt) is missing, as hidapi gives null for it.
struct ExtraDevice {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t release = 0;
  int interfaceNumber = -1;
  std::optional<std::wstring> serial;
  std::optional<std::wstring> manufacturer;
  std::optional<std::wstring> product;
};

// Counts of what the host did, since start or the last reset.
struct LinkCounters {
  unsigned opens = 0;     // handles handed out
  unsigned closes = 0;    // handles given back
  unsigned writes = 0;    // hid_write calls on instrument handles
  unsigned reads = 0;     // hid_read / hid_read_timeout calls on instrument handles
};

// The transport's state. One per process; single-threaded like the shell.
struct VirtualLink {
  InstrumentModel instrument;
  bool attached = true;          // the instrument is plugged in
  unsigned generation = 0;       // bumped by each unplug: older handles are dead
  bool initFails = false;        // hid_init (and so hid_open) fails
  WriteFault writeFault = WriteFault::kNone;
  bool readFails = false;        // reads on a live handle fail
  std::vector<ExtraDevice> extraDevices;  // listed after the instrument
  std::vector<uint8_t> lastWrite;         // bytes of the last hid_write, report ID first
  LinkCounters counters;
  unsigned nextHandleId = 1;

  // Unplug: handles die, replies in flight are lost. Plug in: a freshly
  // powered instrument that keeps the reply settings of the link.
  void detach();
  void attach();
  // Everything back to the start: plugged in, no faults, no other devices,
  // fresh instrument, counters zero. Handles that are open stay usable.
  void reset();
};

VirtualLink &virtualLink();

// The identity of an open handle (1, 2, ... in opening order), 0 for null.
unsigned handleId(const hid_device *handle);
// Whether the handle has been switched to non-blocking reads.
bool handleNonBlocking(const hid_device *handle);

}  // namespace sim
