// POSIX (Linux hidraw) implementation of platform::hidReportDescriptor: the
// kernel publishes each hidraw node's descriptor in sysfs, readable without
// opening the device again.
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace platform {

size_t hidReportDescriptor(const char *devicePath, unsigned char *buffer, size_t size) {
  static const char kDevicePrefix[] = "/dev/";
  static const char kNodePrefix[] = "hidraw";
  if (devicePath == nullptr || buffer == nullptr || size == 0) return 0;
  if (std::strncmp(devicePath, kDevicePrefix, sizeof kDevicePrefix - 1) != 0) return 0;
  // Only a plain node name, so that the path cannot lead anywhere else in sysfs.
  const char *node = devicePath + sizeof kDevicePrefix - 1;
  if (std::strncmp(node, kNodePrefix, sizeof kNodePrefix - 1) != 0) return 0;
  const char *digits = node + sizeof kNodePrefix - 1;
  if (*digits == '\0' || std::strspn(digits, "0123456789") != std::strlen(digits)) return 0;

  std::string sysfsPath = std::string("/sys/class/hidraw/") + node + "/device/report_descriptor";
  std::FILE *file = std::fopen(sysfsPath.c_str(), "rb");
  if (file == nullptr) return 0;
  size_t length = std::fread(buffer, 1, size, file);
  // A descriptor that fills the whole buffer may have been cut: not usable.
  bool complete = length < size && !std::ferror(file);
  std::fclose(file);
  return complete ? length : 0;
}

}  // namespace platform
