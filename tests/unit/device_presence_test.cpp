// The hidraw presence check on nodes that are not live hidraw devices; the
// live and the unplugged cases run in the real-HID suite (tests/hidvm).
#include "device/device_presence.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace {

using device::NodeState;

TEST(HidrawNodeState, MissingNodeIsGone) {
  EXPECT_EQ(NodeState::kGone, device::hidrawNodeState("/dev/hidraw-fieldwish-test-missing"));
  EXPECT_EQ(NodeState::kGone, device::hidrawNodeState("/nonexistent-dir/hidraw0"));
}

TEST(HidrawNodeState, NodesThatAreNotHidrawCannotTell) {
  // A character device that answers no hidraw ioctl, a directory and a plain
  // file all open, but none of them can say anything about a HID device.
  EXPECT_EQ(NodeState::kUnknown, device::hidrawNodeState("/dev/null"));
  EXPECT_EQ(NodeState::kUnknown, device::hidrawNodeState("/"));
  char path[] = "/tmp/device_presence_test.XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(NodeState::kUnknown, device::hidrawNodeState(path));
  unlink(path);
  EXPECT_EQ(NodeState::kGone, device::hidrawNodeState(path));
}

TEST(HidrawNodeState, NoPathCannotTell) {
  EXPECT_EQ(NodeState::kUnknown, device::hidrawNodeState(nullptr));
}

TEST(DeviceStillPresent, NoHandleIsNotPresent) {
  EXPECT_FALSE(device::deviceStillPresent(nullptr));
}

}  // namespace
