// The pieces of instrument-sim that need no kernel: the control-line grammar,
// the hexadecimal dump, uevent lookup, the hidraw lookup over a fake /sys and
// the report descriptor's shape.
#include "sim/instrument_sim_main_support.h"

#include "device/report_descriptor.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

using sim::ControlRequest;

TEST(ParseControlLine, VerbsWithoutArguments) {
  const struct {
    const char *line;
    ControlRequest::Verb verb;
  } cases[] = {
      {"unplug", ControlRequest::kUnplug}, {"plug", ControlRequest::kPlug},
      {"hold", ControlRequest::kHold},     {"release", ControlRequest::kRelease},
      {"normal", ControlRequest::kNormal}, {"reset", ControlRequest::kReset},
      {"status", ControlRequest::kStatus}, {"last", ControlRequest::kLast},
      {"quit", ControlRequest::kQuit},     {"  plug\t", ControlRequest::kPlug},
  };
  for (const auto &c : cases) {
    ControlRequest request = sim::ParseControlLine(c.line);
    EXPECT_EQ(c.verb, request.verb) << c.line;
    EXPECT_EQ("", request.error) << c.line;
  }
  EXPECT_EQ(ControlRequest::kInvalid, sim::ParseControlLine("plug now").verb);
  EXPECT_EQ("usage: plug", sim::ParseControlLine("plug now").error);
}

TEST(ParseControlLine, SilentTakesAnOptionalSwitch) {
  for (const char *on : {"silent", "silent on", "silent 1"}) EXPECT_EQ(1u, sim::ParseControlLine(on).argument) << on;
  for (const char *off : {"silent off", "silent 0"}) EXPECT_EQ(0u, sim::ParseControlLine(off).argument) << off;
  EXPECT_EQ(ControlRequest::kSilent, sim::ParseControlLine("silent off").verb);
  EXPECT_EQ("expected on or off but got \"maybe\"", sim::ParseControlLine("silent maybe").error);
  EXPECT_EQ(ControlRequest::kInvalid, sim::ParseControlLine("silent on off").verb);
}

TEST(ParseControlLine, DelayTakesMilliseconds) {
  ControlRequest request = sim::ParseControlLine("delay 400");
  EXPECT_EQ(ControlRequest::kDelay, request.verb);
  EXPECT_EQ(400u, request.argument);
  EXPECT_EQ(0u, sim::ParseControlLine("delay 0").argument);
  EXPECT_EQ(3600000u, sim::ParseControlLine("delay 3600000").argument);
  for (const char *bad : {"delay", "delay -1", "delay 3600001", "delay 12ms", "delay x", "delay 1 2"}) {
    ControlRequest r = sim::ParseControlLine(bad);
    EXPECT_EQ(ControlRequest::kInvalid, r.verb) << bad;
    EXPECT_NE("", r.error) << bad;
  }
  EXPECT_EQ("expected milliseconds from 0 to 3600000 but got \"-1\"",
            sim::ParseControlLine("delay -1").error);
}

TEST(ParseControlLine, BlankLinesCommentsAndUnknownWords) {
  EXPECT_EQ(ControlRequest::kEmpty, sim::ParseControlLine("").verb);
  EXPECT_EQ(ControlRequest::kEmpty, sim::ParseControlLine("   ").verb);
  EXPECT_EQ(ControlRequest::kEmpty, sim::ParseControlLine("# unplug").verb);
  ControlRequest unknown = sim::ParseControlLine("explode");
  EXPECT_EQ(ControlRequest::kInvalid, unknown.verb);
  EXPECT_EQ("unknown command \"explode\"", unknown.error);
  // Verbs are whole words, case included.
  EXPECT_EQ(ControlRequest::kInvalid, sim::ParseControlLine("Unplug").verb);
  EXPECT_EQ(ControlRequest::kInvalid, sim::ParseControlLine("unplugged").verb);
}

TEST(HexBytes, LowerCaseWithSingleBlanks) {
  const uint8_t bytes[] = {0x00, 0x4d, 0xff, 0x0a};
  EXPECT_EQ("00 4d ff 0a", sim::HexBytes(bytes, 4));
  EXPECT_EQ("00", sim::HexBytes(bytes, 1));
  EXPECT_EQ("", sim::HexBytes(bytes, 0));
}

TEST(UeventValue, FindsWholeKeysOnly) {
  const std::string uevent = "DRIVER=hid-generic\nHID_ID=0003:000004D8:0000003F\n"
                             "HID_PHYS=instrument-sim/42\nHID_UNIQ=\n";
  EXPECT_EQ("0003:000004D8:0000003F", sim::UeventValue(uevent, "HID_ID"));
  EXPECT_EQ("instrument-sim/42", sim::UeventValue(uevent, "HID_PHYS"));
  EXPECT_EQ("", sim::UeventValue(uevent, "HID_UNIQ"));
  EXPECT_EQ("", sim::UeventValue(uevent, "HID"));
  EXPECT_EQ("", sim::UeventValue(uevent, "MODALIAS"));
}

// A /sys tree with two hidraw nodes laid out as the kernel does it: the class
// entry links to <hid device>/hidraw/hidrawN, the HID device holds uevent.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/instrument_sim_sysfs.XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    root_ = pattern;
    addNode("hidraw0", "0003:046D:C52B.0001", "HID_ID=0003:0000046D:0000C52B\nHID_PHYS=usb-1\n");
    addNode("hidraw1", "0003:04D8:003F.0002",
            "HID_ID=0003:000004D8:0000003F\nHID_PHYS=instrument-sim/7\n");
  }
  void TearDown() override { ASSERT_EQ(0, system(("rm -rf " + root_).c_str())); }

  void addNode(const std::string &name, const std::string &hid, const std::string &uevent) {
    const std::string device = root_ + "/devices/virtual/" + hid;
    ASSERT_EQ(0, system(("mkdir -p " + device + "/hidraw/" + name + " " + root_ + "/class/hidraw").c_str()));
    std::ofstream(device + "/uevent") << uevent;
    ASSERT_EQ(0, symlink((device + "/hidraw/" + name).c_str(), (root_ + "/class/hidraw/" + name).c_str()));
  }

  std::string root_;
};

TEST_F(FakeSysfs, FindsTheNodeWhoseDeviceMatches) {
  auto phys = [](const std::string &want) {
    return [want](const sim::HidrawNode &n) { return sim::UeventValue(n.hidUevent, "HID_PHYS") == want; };
  };
  EXPECT_EQ("/dev/hidraw1", sim::FindHidrawNode(root_, phys("instrument-sim/7")));
  EXPECT_EQ("/dev/hidraw0", sim::FindHidrawNode(root_, phys("usb-1")));
  EXPECT_EQ("", sim::FindHidrawNode(root_, phys("instrument-sim/8")));
  EXPECT_EQ("", sim::FindHidrawNode(root_ + "/missing", phys("usb-1")));
}

// The host's own descriptor parser: 64-byte output reports without report IDs
// (65 with the ID byte) and a well-formed item stream. Input reports are
// checked end to end by the real-HID suite (tests/hidvm), which reads them.
TEST(ReportDescriptor, SixtyFourByteOutputReportsWithoutReportIds) {
  EXPECT_EQ(65, device::outputReportLength(sim::kReportDescriptor, sim::kReportDescriptorSize));
}

}  // namespace
