// The text of the HID device survey: plain C++ on hidapi's enumeration record
// (only its layout is used here; nothing of the library is called).
#pragma once

#include <hidapi.h>
#include <string>

namespace device {

extern const char kSurveyUnableToInitialize[];  // "unable to initialize\n"
extern const char kSurveyOpenedDevice[];         // "opened device" (no line end)
extern const char kSurveyUnableToOpen[];         // "unable to open device\n"

// Appends the five pieces of one device's block (nine lines, the last empty).
// Missing strings print as "(null)"; wide strings are rendered as UTF-8 so
// that no character can make a piece fail; a piece of any length is appended
// whole.
void appendSurveyDevice(std::string &report, const hid_device_info &device);

// A wide text as UTF-8; "(null)" for a null pointer. Characters that are not
// Unicode scalar values (lone surrogates, values past U+10FFFF) become U+FFFD.
// Where wchar_t is 16 bits wide, surrogate pairs are joined.
std::string wideToUtf8(const wchar_t *text);

}  // namespace device
