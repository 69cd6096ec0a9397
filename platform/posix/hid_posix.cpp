// POSIX (Linux hidraw) implementation of platform.h's HID queries. The
// kernel publishes each hidraw node's descriptor in sysfs, readable without
// opening the device again, and answers for a node's device without asking
// the device itself.
#include "platform/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

// hidraw keeps no output report length apart from the descriptor.
size_t hidOutputReportLength(const char *) { return 0; }

HidDeviceState hidDeviceState(const char *devicePath) {
  static const char kHidrawPrefix[] = "/dev/hidraw";
  if (devicePath == nullptr || std::strncmp(devicePath, kHidrawPrefix, sizeof kHidrawPrefix - 1) != 0) {
    return HidDeviceState::kUnknown;
  }
  // A second opener of a hidraw node does not reach the device (only the
  // first open powers and opens it), and gets its own input queue: reports
  // meant for the held handle are not taken. The node of a removed device
  // refuses to open (ENODEV) while any handle keeps its minor number, and
  // disappears soon after (ENOENT); a new device cannot take the minor
  // number while the old one is held open.
  int fd = open(devicePath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENODEV || errno == ENXIO) return HidDeviceState::kGone;
    return HidDeviceState::kUnknown;
  }
  struct hidraw_devinfo info;
  std::memset(&info, 0, sizeof info);
  int result = ioctl(fd, HIDIOCGRAWINFO, &info);
  int error = errno;
  close(fd);
  if (result == 0) return HidDeviceState::kPresent;
  return error == ENODEV ? HidDeviceState::kGone : HidDeviceState::kUnknown;
}

}  // namespace platform
