#include "device/device_handle.h"

hid_device *DeviceHandle = nullptr;
