// Shell links on Windows: the shell's own link object through COM, in the
// order the link writer has always used: CoInitialize, CoCreateInstance for
// IShellLinkA, the five setters, QueryInterface for IPersistFile, the link
// path widened, Save, the releases, CoUninitialize.
//
// Tcl hands the texts over in UTF-8, which the A-interfaces would read in the
// active code page: every non-ASCII character would come out garbled. The
// same object's IShellLinkW takes the texts converted from UTF-8 instead, and
// the link path is widened from UTF-8; ASCII texts reach the object exactly
// as before.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/win32/com_calls.h"
#include "platform/win32/utf8_win32.h"

namespace platform {

namespace {

std::string describeResult(const char *call, HRESULT result) {
  char message[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(result), 0, message, sizeof message, nullptr);
  while (length > 0 && (message[length - 1] == '\n' || message[length - 1] == '\r' || message[length - 1] == '.')) {
    --length;
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(result));
  std::string reason = std::string(call) + " failed (" + code + ")";
  if (length > 0) reason += ": " + std::string(message, length);
  return reason;
}

// The five setters, in their order, through the W-interface when the object
// has one. Their outcome is not examined.
void setFields(IShellLinkA *narrow, IShellLinkW *wide, const ShellLinkFields &fields) {
  if (wide != nullptr) {
    wide->SetPath(fromUtf8(fields.targetPath).c_str());
    wide->SetDescription(fromUtf8(fields.description).c_str());
    wide->SetWorkingDirectory(fromUtf8(fields.workingDirectory).c_str());
    wide->SetIconLocation(fromUtf8(fields.iconPath).c_str(), fields.iconIndex);
    wide->SetArguments(fromUtf8(fields.arguments).c_str());
  } else {
    narrow->SetPath(fields.targetPath);
    narrow->SetDescription(fields.description);
    narrow->SetWorkingDirectory(fields.workingDirectory);
    narrow->SetIconLocation(fields.iconPath, fields.iconIndex);
    narrow->SetArguments(fields.arguments);
  }
}

// The link path in UTF-16, then Save with fRemember true.
ShellLinkStep save(IPersistFile *persist, const char *linkPath, std::string *reason) {
  wchar_t widePath[kWideLinkPathUnits];
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, linkPath, -1, widePath,
                          static_cast<int>(kWideLinkPathUnits)) <= 0) {
    return ShellLinkStep::kPathNotWide;
  }
  if (widePath[0] == 0) {
    *reason = "the link path is empty";
    return ShellLinkStep::kSave;
  }
  HRESULT result = persist->Save(widePath, TRUE);
  if (FAILED(result)) {
    *reason = describeResult("IPersistFile::Save", result);
    return ShellLinkStep::kSave;
  }
  return ShellLinkStep::kWritten;
}

// Everything between CoInitialize and CoUninitialize; every interface
// obtained is released before it returns.
ShellLinkStep writeThroughLinkObject(const ShellLinkFields &fields, const char *linkPath, std::string *reason) {
  IShellLinkA *narrow = nullptr;
  if (FAILED(com::createShellLink(&narrow))) return ShellLinkStep::kNoLinkObject;
  IShellLinkW *wide = nullptr;
  if (FAILED(narrow->QueryInterface(IID_IShellLinkW, reinterpret_cast<void **>(&wide)))) wide = nullptr;
  setFields(narrow, wide, fields);

  ShellLinkStep step = ShellLinkStep::kNoFileInterface;
  IPersistFile *persist = nullptr;
  if (SUCCEEDED(narrow->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)))) {
    step = save(persist, linkPath, reason);
    persist->Release();
  }
  if (wide != nullptr) wide->Release();
  narrow->Release();
  return step;
}

}  // namespace

ShellLinkStep writeShellLink(const ShellLinkFields &fields, const char *linkPath, std::string *reason) {
  com::initialise();
  ShellLinkStep step = writeThroughLinkObject(fields, linkPath, reason);
  com::uninitialise();
  return step;
}

}  // namespace platform
