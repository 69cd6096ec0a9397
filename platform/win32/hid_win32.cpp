// Windows implementation of platform.h's HID queries, through the HID class
// library. Both open the device with no access rights: such a handle can be
// asked about the device but reads and writes nothing, so nothing is sent to
// the instrument and no input report is taken from another handle's queue.
#include <windows.h>

// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

// hidapi's device paths on Windows are device interface paths.
bool isInterfacePath(const char *devicePath) {
  return devicePath != nullptr && (std::strncmp(devicePath, "\\\\?\\", 4) == 0 || std::strncmp(devicePath, "\\\\.\\", 4) == 0);
}

HANDLE openForQueries(const char *devicePath) {
  return CreateFileA(devicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

// Windows gives no report descriptor; hidOutputReportLength answers instead.
size_t hidReportDescriptor(const char *, unsigned char *, size_t) { return 0; }

size_t hidOutputReportLength(const char *devicePath) {
  if (!isInterfacePath(devicePath)) return 0;
  HANDLE device = openForQueries(devicePath);
  if (device == INVALID_HANDLE_VALUE) return 0;
  size_t length = 0;
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (HidD_GetPreparsedData(device, &preparsed)) {
    HIDP_CAPS caps;
    if (HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS) length = caps.OutputReportByteLength;
    HidD_FreePreparsedData(preparsed);
  }
  CloseHandle(device);
  return length;
}

HidDeviceState hidDeviceState(const char *devicePath) {
  if (!isInterfacePath(devicePath)) return HidDeviceState::kUnknown;
  HANDLE device = openForQueries(devicePath);
  if (device == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_DEVICE_NOT_CONNECTED:
      case ERROR_DEV_NOT_EXIST:
        return HidDeviceState::kGone;
      default:
        return HidDeviceState::kUnknown;
    }
  }
  HIDD_ATTRIBUTES attributes;
  attributes.Size = sizeof attributes;
  BOOL answered = HidD_GetAttributes(device, &attributes);
  DWORD error = GetLastError();
  CloseHandle(device);
  if (answered) return HidDeviceState::kPresent;
  return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEV_NOT_EXIST ? HidDeviceState::kGone
                                                                            : HidDeviceState::kUnknown;
}

}  // namespace platform
