// The virtual instrument as a USB HID gadget, made through configfs
// (libcomposite, usb_f_hid) on a USB device controller: dummy_hcd on one
// machine, or the device port of a board plugged into a PC. The host sees a
// real USB device with the instrument's strings, release and interface 0.
#pragma once

#include <string>

#include "sim/instrument_model.h"

namespace sim {

class GadgetInstrument {
 public:
  GadgetInstrument() = default;
  ~GadgetInstrument();
  GadgetInstrument(const GadgetInstrument &) = delete;
  GadgetInstrument &operator=(const GadgetInstrument &) = delete;

  // Builds the gadget under configfs and opens its /dev/hidgN. `udc` names
  // the controller ("" takes the first one in /sys/class/udc).
  bool create(const std::string &udc, std::string &error);

  // Binds the gadget to the controller and waits until the host has
  // configured it (at most several seconds). When the host is this machine
  // (dummy_hcd), also waits for its hidraw node; `node` names it then.
  bool plug(std::string &node, std::string &error);
  // Unbinds it: to the host, the cable was pulled. Waits until the host's
  // hidraw node, if on this machine, has gone.
  bool unplug(std::string &error);
  bool plugged() const { return plugged_; }

  int fd() const { return fd_; }

  // One output report from the host (64 bytes, no report ID).
  bool receive(Report &report, std::string &error);
  // One input report to the host. False with an empty `error` when the
  // previous report is still waiting for the host: try again when writable.
  bool send(const Report &report, std::string &error);

  // Unbinds and removes everything create() made. Safe to call twice.
  void destroy();

  const std::string &udc() const { return udc_; }

 private:
  bool hostIsLocal() const;

  std::string dir_;  // the gadget's configfs directory
  std::string udc_;
  std::string node_;
  int fd_ = -1;
  bool plugged_ = false;
  bool linked_ = false;
};

}  // namespace sim
