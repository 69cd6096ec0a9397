#include "device/survey_report.h"

#include <cstdint>
#include <cstdio>

namespace device {

const char kSurveyUnableToInitialize[] = "unable to initialize\n";
const char kSurveyOpenedDevice[] = "opened device";
const char kSurveyUnableToOpen[] = "unable to open device\n";

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

void appendUtf8(std::string &out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The numeric fields have a small, known width; the buffer is ample.
std::string formatNumber(const char *format, unsigned value) {
  char text[16];
  int n = std::snprintf(text, sizeof text, format, value);
  return (n > 0 && static_cast<size_t>(n) < sizeof text) ? std::string(text, n) : std::string();
}

}  // namespace

std::string wideToUtf8(const wchar_t *text) {
  if (text == nullptr) return "(null)";
  std::string out;
  for (const wchar_t *p = text; *p != 0; ++p) {
    uint32_t c = static_cast<uint32_t>(*p);
    if (sizeof(wchar_t) == 2) c &= 0xFFFF;
    if (isHighSurrogate(c) && isLowSurrogate(static_cast<uint32_t>(p[1]) & 0xFFFF) && sizeof(wchar_t) == 2) {
      uint32_t low = static_cast<uint32_t>(p[1]) & 0xFFFF;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      ++p;
    } else if (isHighSurrogate(c) || isLowSurrogate(c) || c > 0x10FFFF) {
      c = kReplacementCharacter;
    }
    appendUtf8(out, c);
  }
  return out;
}

void appendSurveyDevice(std::string &report, const hid_device_info &device) {
  // "Device Found\n  type: %04hx %04hx\n  path: %s\n  serial_number: %ls\n"
  report += "Device Found\n  type: ";
  report += formatNumber("%04x", device.vendor_id);
  report += ' ';
  report += formatNumber("%04x", device.product_id);
  report += "\n  path: ";
  report += device.path != nullptr ? device.path : "(null)";
  report += "\n  serial_number: ";
  report += wideToUtf8(device.serial_number);
  // "  Manufacturer: %ls\n"
  report += "\n  Manufacturer: ";
  report += wideToUtf8(device.manufacturer_string);
  // "  Product:      %ls\n"
  report += "\n  Product:      ";
  report += wideToUtf8(device.product_string);
  // "  Release:      %hx\n"
  report += "\n  Release:      ";
  report += formatNumber("%x", device.release_number);
  // "  Interface:    %d\n\n"
  report += "\n  Interface:    ";
  report += std::to_string(device.interface_number);
  report += "\n\n";
}

}  // namespace device
