#pragma once

#include <hidapi.h>

// The open instrument, or null. HidConnect sets and drops it; HidCommand uses it.
extern hid_device *DeviceHandle;
