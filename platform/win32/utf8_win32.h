// UTF-8 texts, as Tcl hands them, to and from the UTF-16 of the system's wide
// calls. Internal to platform/win32.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// The UTF-16 form of a UTF-8 text; malformed sequences become U+FFFD.
inline std::wstring fromUtf8(const char *text) {
  int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], units);
  wide.resize(static_cast<size_t>(units - 1));
  return wide;
}

// The UTF-8 form of a UTF-16 text.
inline std::string toUtf8(const wchar_t *text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], bytes, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(bytes - 1));
  return narrow;
}

}  // namespace platform
