// The Windows HID queries of the platform layer against a real device: the
// kernel instrument (instrument-sim --uhid) through Wine's HID stack in the
// hidvm guest (tests/win32/hidvm-wine.sh). The output report length comes
// from HidP_GetCaps, the device's state from HidD_GetAttributes, and neither
// sends anything to the instrument or takes a reply queued for an open handle.
#include <windows.h>

#include <gtest/gtest.h>
#include <hidapi.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

// A Unix path of the guest as Wine names it.
std::string onDriveZ(const char *variable) {
  const char *path = std::getenv(variable);
  return path != nullptr ? std::string("Z:") + path : std::string();
}

std::vector<std::string> answerLines() {
  std::ifstream in(onDriveZ("FIELDWISH_SIM_ANSWERS"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One control line to instrument-sim; its answer, or "" after 30 s.
std::string instrument(const std::string &line) {
  size_t seen = answerLines().size();
  HANDLE control = CreateFileA(onDriveZ("FIELDWISH_SIM_CONTROL").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  if (control == INVALID_HANDLE_VALUE) return "";
  std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(control, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(control);
  for (int tries = 0; tries < 3000; ++tries) {
    std::vector<std::string> lines = answerLines();
    if (lines.size() > seen) return lines[seen];
    Sleep(10);
  }
  return "";
}

// The instrument's path in hidapi's enumeration. Wine's HID bus starts with
// the first program of a session and offers its devices a little later; the
// path stays the same across unplugging and replugging.
std::string instrumentPath() {
  static std::string path;
  for (int tries = 0; tries < 300 && path.empty(); ++tries) {
    if (tries > 0) Sleep(100);
    hid_device_info *devices = hid_enumerate(0x04D8, 0x003F);
    if (devices != nullptr && devices->path != nullptr) path = devices->path;
    hid_free_enumeration(devices);
  }
  return path;
}

// The state Wine's HID stack gives for path within 20 s, or the last one.
platform::HidDeviceState awaitState(const std::string &path, platform::HidDeviceState wanted) {
  platform::HidDeviceState state = platform::hidDeviceState(path.c_str());
  for (int tries = 0; tries < 200 && state != wanted; ++tries) {
    Sleep(100);
    state = platform::hidDeviceState(path.c_str());
  }
  return state;
}

class HidDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(instrument("normal"), "ok normal");
    path_ = instrumentPath();
    ASSERT_FALSE(path_.empty()) << "the instrument is not in hidapi's enumeration";
  }
  std::string path_;
};

TEST_F(HidDevice, OutputReportLengthComesFromTheHidStack) {
  unsigned char descriptor[4096];
  EXPECT_EQ(platform::hidReportDescriptor(path_.c_str(), descriptor, sizeof descriptor), 0u);
  EXPECT_EQ(platform::hidOutputReportLength(path_.c_str()), 65u);
}

TEST_F(HidDevice, QueriesSendNothingToTheInstrument) {
  std::string before = instrument("status");
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(platform::hidDeviceState(path_.c_str()), platform::HidDeviceState::kPresent);
    EXPECT_EQ(platform::hidOutputReportLength(path_.c_str()), 65u);
  }
  EXPECT_EQ(instrument("status"), before);
}

TEST_F(HidDevice, QueriesTakeNoReplyQueuedForAnOpenHandle) {
  hid_device *device = hid_open(0x04D8, 0x003F, nullptr);
  ASSERT_NE(device, nullptr);
  unsigned char report[65] = {0, 'I'};
  ASSERT_EQ(hid_write(device, report, sizeof report), 65);
  Sleep(300);
  for (int i = 0; i < 5; ++i) platform::hidDeviceState(path_.c_str());
  platform::hidOutputReportLength(path_.c_str());
  unsigned char reply[256] = {};
  EXPECT_EQ(hid_read_timeout(device, reply, sizeof reply, 2000), 64);
  EXPECT_EQ(reply[0], 'I');
  hid_close(device);
}

TEST_F(HidDevice, StateFollowsUnplugAndReplug) {
  EXPECT_EQ(platform::hidDeviceState(path_.c_str()), platform::HidDeviceState::kPresent);
  ASSERT_EQ(instrument("unplug"), "ok unplugged");
  EXPECT_EQ(awaitState(path_, platform::HidDeviceState::kGone), platform::HidDeviceState::kGone);
  EXPECT_EQ(platform::hidOutputReportLength(path_.c_str()), 0u);
  ASSERT_EQ(instrument("plug").rfind("ok plugged", 0), 0u);
  EXPECT_EQ(awaitState(path_, platform::HidDeviceState::kPresent), platform::HidDeviceState::kPresent);
}

}  // namespace
