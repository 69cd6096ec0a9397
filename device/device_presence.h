// Whether the device behind an open hidapi handle is still attached.
//
// The probe of HidConnect asks for the manufacturer string, which fails on a
// device that has gone where the HID layer asks the device (Windows). hidapi's
// hidraw backend answers that query from a cache after its first success, so
// on Linux the probe would never notice an unplug. This check asks the
// operating system instead: it sends nothing to the instrument and takes no
// input report, so a reply still waiting for the next HidCommand stays where
// it is.
#pragma once

#include <hidapi.h>

namespace device {

// False when the handle's device has certainly gone: hidapi can no longer
// describe it, or the system says so of its path. True otherwise, including
// when the system cannot tell (the caller's own probe decides).
bool deviceStillPresent(hid_device *handle);

}  // namespace device
