// The presence check on paths that are not live hidraw devices; the live
// and the unplugged cases run in the real-HID suite (tests/hidvm).
#include "device/device_presence.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"

namespace {

using platform::HidDeviceState;

TEST(HidDeviceState, MissingNodeIsGone) {
  EXPECT_EQ(HidDeviceState::kGone, platform::hidDeviceState("/dev/hidraw-fieldwish-test-missing"));
}

TEST(HidDeviceState, PathsThatAreNoHidrawNodeCannotTell) {
  // Only hidraw node paths are opened at all; anything else is not ours to ask.
  EXPECT_EQ(HidDeviceState::kUnknown, platform::hidDeviceState(nullptr));
  EXPECT_EQ(HidDeviceState::kUnknown, platform::hidDeviceState("/dev/null"));
  EXPECT_EQ(HidDeviceState::kUnknown, platform::hidDeviceState("/nonexistent-dir/hidraw0"));
  EXPECT_EQ(HidDeviceState::kUnknown, platform::hidDeviceState("virtual/instrument"));
}

TEST(HidDeviceState, NodeThatAnswersNoHidrawQueryCannotTell) {
  // A node under the hidraw name that opens but is no HID device (here a link
  // to /dev/null) gives no verdict; once it is gone, it is gone.
  std::string path = "/dev/hidraw-fieldwish-test-" + std::to_string(getpid());
  if (symlink("/dev/null", path.c_str()) != 0) GTEST_SKIP() << "cannot create " << path;
  EXPECT_EQ(HidDeviceState::kUnknown, platform::hidDeviceState(path.c_str()));
  unlink(path.c_str());
  EXPECT_EQ(HidDeviceState::kGone, platform::hidDeviceState(path.c_str()));
}

TEST(DeviceStillPresent, NoHandleIsNotPresent) {
  EXPECT_FALSE(device::deviceStillPresent(nullptr));
}

}  // namespace
