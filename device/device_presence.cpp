#include "device/device_presence.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

namespace device {

namespace {

// hidapi's hidraw backend names devices by their /dev node.
const char kHidrawPrefix[] = "/dev/hidraw";

}  // namespace

NodeState hidrawNodeState(const char *path) {
  if (path == nullptr) return NodeState::kUnknown;
  // A second opener of a hidraw node does not reach the device (only the
  // first open powers and opens it), and gets its own input queue: reports
  // meant for the held handle are not taken.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENODEV || errno == ENXIO) return NodeState::kGone;
    return NodeState::kUnknown;
  }
  struct hidraw_devinfo info;
  std::memset(&info, 0, sizeof info);
  int result = ioctl(fd, HIDIOCGRAWINFO, &info);
  int error = errno;
  close(fd);
  if (result == 0) return NodeState::kPresent;
  return error == ENODEV ? NodeState::kGone : NodeState::kUnknown;
}

bool deviceStillPresent(hid_device *handle) {
  if (handle == nullptr) return false;
  // hidapi describes an open device lazily from the kernel's device records;
  // when the first description is asked for after the device went, there is
  // nothing left to describe it from.
  hid_device_info *info = hid_get_device_info(handle);
  if (info == nullptr) return false;
  if (info->path == nullptr ||
      std::strncmp(info->path, kHidrawPrefix, sizeof kHidrawPrefix - 1) != 0) {
    return true;
  }
  return hidrawNodeState(info->path) != NodeState::kGone;
}

}  // namespace device
