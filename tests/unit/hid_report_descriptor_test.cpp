// Output report length from report descriptors.
#include "device/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int lengthOf(const std::vector<uint8_t> &d) { return device::outputReportLength(d.data(), d.size()); }

// A vendor-page device with 64-byte input and output reports and no report
// IDs, as the instrument's firmware declares it.
const std::vector<uint8_t> kInstrument = {
    0x06, 0x00, 0xFF,  // Usage Page (vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Var, Abs)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x91, 0x02,        //   Output (Data, Var, Abs)
    0xC0,              // End Collection
};

TEST(OutputReportLength, InstrumentDescriptorGivesSixtyFive) { EXPECT_EQ(lengthOf(kInstrument), 65); }

TEST(OutputReportLength, LongestOfSeveralReportIds) {
  const std::vector<uint8_t> d = {
      0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x91, 0x02,  // ID 1: 8 bytes
      0x85, 0x02, 0x95, 0x20, 0x91, 0x02,              // ID 2: 32 bytes
      0x95, 0x04, 0x91, 0x02,                          // ID 2: 4 more bytes
      0x85, 0x03, 0x95, 0x80, 0x81, 0x02,              // ID 3: input only
  };
  EXPECT_EQ(lengthOf(d), 37);
}

TEST(OutputReportLength, BitFieldsRoundUpToWholeBytes) {
  const std::vector<uint8_t> d = {0x75, 0x01, 0x95, 0x05, 0x91, 0x02, 0x75, 0x03, 0x95, 0x01, 0x91, 0x01};
  EXPECT_EQ(lengthOf(d), 2);  // 8 bits of data, the report ID byte
  const std::vector<uint8_t> nine = {0x75, 0x01, 0x95, 0x09, 0x91, 0x02};
  EXPECT_EQ(lengthOf(nine), 3);
}

TEST(OutputReportLength, PushAndPopRestoreGlobals) {
  const std::vector<uint8_t> d = {
      0x75, 0x08, 0x95, 0x10,  // 16 bytes
      0xA4,                    // Push
      0x95, 0x02, 0x91, 0x02,  // 2 bytes
      0xB4,                    // Pop: 16 again
      0x91, 0x02,
  };
  EXPECT_EQ(lengthOf(d), 19);
}

TEST(OutputReportLength, FourByteItemsAndLongItemsAreSkippedRight) {
  const std::vector<uint8_t> d = {
      0xFE, 0x02, 0x10, 0x91, 0x02,    // long item whose data looks like an Output item
      0x77, 0x08, 0x00, 0x00, 0x00,    // Report Size (8), four data bytes
      0x97, 0x03, 0x00, 0x00, 0x00,    // Report Count (3), four data bytes
      0x91, 0x02,
  };
  EXPECT_EQ(lengthOf(d), 4);
}

TEST(OutputReportLength, NoOutputReport) {
  const std::vector<uint8_t> d = {0x75, 0x08, 0x95, 0x40, 0x81, 0x02};
  EXPECT_EQ(lengthOf(d), 0);
  EXPECT_EQ(lengthOf({}), 0);
}

TEST(OutputReportLength, MalformedDescriptors) {
  EXPECT_EQ(lengthOf({0x75}), -1);                 // item data cut short
  EXPECT_EQ(lengthOf({0x97, 0x01, 0x00}), -1);     // four-byte item cut short
  EXPECT_EQ(lengthOf({0xFE, 0x05, 0x00, 0x01}), -1);  // long item cut short
  EXPECT_EQ(lengthOf({0xFE}), -1);
  EXPECT_EQ(lengthOf({0xB4}), -1);                 // Pop without Push
  std::vector<uint8_t> deep(100, 0xA4);            // pushes without end
  EXPECT_EQ(lengthOf(deep), -1);
  EXPECT_EQ(device::outputReportLength(nullptr, 4), -1);
  // The parser stops at the end it is given, however long the data would be.
  std::vector<uint8_t> cut(kInstrument.begin(), kInstrument.begin() + 25);  // ends inside the Output item
  EXPECT_EQ(lengthOf(cut), -1);
}

// Bit totals past 2^64 must not wrap round to a small, plausible length.
TEST(OutputReportLength, AbsurdTotalsCannotBeKnown) {
  const std::vector<uint8_t> d = {
      0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x91, 0x02,  // (2^32-1)^2 bits
      0x75, 0x02, 0x91, 0x02,                                                  // (2^32-1)*2 more
      0x75, 0x08, 0x95, 0x01, 0x91, 0x02,                                      // 8 more: 2^64 + 7
  };
  EXPECT_EQ(lengthOf(d), -1);
}

}  // namespace
