// Whether the device behind an open hidapi handle is still attached.
//
// The probe of HidConnect asks for the manufacturer string, which fails on a
// device that has gone where the HID layer asks the device (Windows). hidapi's
// hidraw backend answers that query from a cache after its first success, so
// on Linux the probe would never notice an unplug. This check asks the kernel
// instead: it sends nothing to the instrument and takes no input report, so a
// reply still waiting for the next HidCommand stays where it is.
#pragma once

#include <hidapi.h>

namespace device {

enum class NodeState {
  kPresent,  // the node opens and is a live hidraw device
  kGone,     // the kernel says the device is no longer there
  kUnknown,  // not a hidraw node, or it could not be asked
};

// Asks the hidraw node at `path` (e.g. "/dev/hidraw3") whether its device is
// still there. The node of a removed device refuses to open (ENODEV) as long
// as any handle keeps its minor number, and disappears soon after (ENOENT);
// a new device cannot take the minor number while the old one is held open.
NodeState hidrawNodeState(const char *path);

// False when the handle's device has certainly gone: hidapi can no longer
// describe it, or its hidraw node says so. True otherwise, including when the
// HID layer in use has no such node to ask (the caller's own probe decides).
bool deviceStillPresent(hid_device *handle);

}  // namespace device
