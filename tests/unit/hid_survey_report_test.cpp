// The text of the device survey: hex fields and wide strings. Whole blocks,
// missing strings, long pieces and several devices are checked through the
// command in tests/tcl/hid_connect.test.
#include "device/survey_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

hid_device_info record(const char *path, const wchar_t *serial, const wchar_t *manufacturer,
                       const wchar_t *product, unsigned short release, int interfaceNumber) {
  hid_device_info info{};
  info.path = const_cast<char *>(path);
  info.vendor_id = 0x04D8;
  info.product_id = 0x003F;
  info.serial_number = const_cast<wchar_t *>(serial);
  info.manufacturer_string = const_cast<wchar_t *>(manufacturer);
  info.product_string = const_cast<wchar_t *>(product);
  info.release_number = release;
  info.interface_number = interfaceNumber;
  return info;
}

TEST(SurveyBlock, LowerCaseHexAndNoLeadingZerosInRelease) {
  std::string report;
  hid_device_info d = record("p", L"s", L"m", L"p", 0x00AB, 3);
  d.vendor_id = 0xBEEF;
  d.product_id = 0x000A;
  device::appendSurveyDevice(report, d);
  EXPECT_NE(report.find("  type: beef 000a\n"), std::string::npos);
  EXPECT_NE(report.find("  Release:      ab\n"), std::string::npos);
}

TEST(WideText, RenderedAsUtf8) {
  EXPECT_EQ(device::wideToUtf8(nullptr), "(null)");
  EXPECT_EQ(device::wideToUtf8(L""), "");
  EXPECT_EQ(device::wideToUtf8(L"abc"), "abc");
  EXPECT_EQ(device::wideToUtf8(L"Gr\u00f6\u00dfe"), "Gr\xc3\xb6\xc3\x9f" "e");
  EXPECT_EQ(device::wideToUtf8(L"\u20ac"), "\xe2\x82\xac");
  EXPECT_EQ(device::wideToUtf8(L"\u00b5"), "\xc2\xb5");
}

TEST(WideText, NonCharactersBecomeReplacement) {
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
  EXPECT_EQ(device::wideToUtf8(lone), "a\xef\xbf\xbd" "b");
  if (sizeof(wchar_t) == 4) {
    const wchar_t astral[] = {static_cast<wchar_t>(0x1F600), 0};
    EXPECT_EQ(device::wideToUtf8(astral), "\xf0\x9f\x98\x80");
    const wchar_t tooBig[] = {static_cast<wchar_t>(0x110000), 0};
    EXPECT_EQ(device::wideToUtf8(tooBig), "\xef\xbf\xbd");
  } else {
    const wchar_t pair[] = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), 0};
    EXPECT_EQ(device::wideToUtf8(pair), "\xf0\x9f\x98\x80");
  }
}

}  // namespace
