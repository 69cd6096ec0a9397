#include "device/device_presence.h"

#include "platform/platform.h"

namespace device {

bool deviceStillPresent(hid_device *handle) {
  if (handle == nullptr) return false;
  // hidapi describes an open device lazily from the kernel's device records;
  // when the first description is asked for after the device went, there is
  // nothing left to describe it from.
  hid_device_info *info = hid_get_device_info(handle);
  if (info == nullptr) return false;
  return platform::hidDeviceState(info->path) != platform::HidDeviceState::kGone;
}

}  // namespace device
