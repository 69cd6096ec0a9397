// The virtual instrument presented through /dev/uhid: to the host it is a USB
// HID device 0x04D8/0x003F with 64-byte reports and no report IDs, reached
// through hid-generic and hidraw like a plugged-in one.
#pragma once

#include <string>

#include "sim/instrument_model.h"

namespace sim {

class UhidInstrument {
 public:
  UhidInstrument() = default;
  ~UhidInstrument();
  UhidInstrument(const UhidInstrument &) = delete;
  UhidInstrument &operator=(const UhidInstrument &) = delete;

  // Opens /dev/uhid. False, with `error` set, when it cannot.
  bool open(std::string &error);

  // Creates the device and waits (at most a few seconds) until the host's
  // hidraw node for it exists; `node` names it.
  bool plug(std::string &node, std::string &error);
  // Destroys the device and waits until its hidraw node has gone.
  bool unplug(std::string &error);
  bool plugged() const { return plugged_; }

  // The descriptor to poll for readability.
  int fd() const { return fd_; }

  // Handles one event from the kernel. True with `report` set when the host
  // wrote an output report (report ID stripped, zero-padded to 64 bytes).
  bool receive(Report &report, std::string &error);

  // Sends one 64-byte input report to the host.
  bool send(const Report &report, std::string &error);

 private:
  bool writeEvent(const void *event, size_t size, std::string &error);

  int fd_ = -1;
  bool plugged_ = false;
  std::string phys_;
  std::string node_;
};

}  // namespace sim
