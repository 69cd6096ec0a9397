// The shell's own link object on Windows, through COM: CLSID_ShellLink made
// for IShellLinkA, saved through its IPersistFile.
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
#include <cstring>
#include <new>
#include <string>

#include "platform/platform.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide texts are UTF-16");

namespace platform {

struct ShellLink {
  IShellLinkA *narrow;
  IShellLinkW *wide;  // the same object's W-interface, or null
};

struct ShellLinkFile {
  IPersistFile *persist;
};

namespace {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD (Tcl never hands one).
std::wstring fromUtf8(const char *text) {
  if (text == nullptr || *text == '\0') return std::wstring();
  int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], units);
  wide.resize(static_cast<size_t>(units - 1));
  return wide;
}

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

}  // namespace

void initialiseShellLinks() { CoInitialize(nullptr); }

void uninitialiseShellLinks() { CoUninitialize(); }

ShellLink *createShellLink() {
  IShellLinkA *narrow = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void **>(&narrow)))) {
    return nullptr;
  }
  ShellLink *link = new (std::nothrow) ShellLink{narrow, nullptr};
  if (link == nullptr) {
    narrow->Release();
    return nullptr;
  }
  if (FAILED(narrow->QueryInterface(IID_IShellLinkW, reinterpret_cast<void **>(&link->wide)))) link->wide = nullptr;
  return link;
}

void setShellLinkPath(ShellLink *link, const char *path) {
  if (link->wide != nullptr) {
    link->wide->SetPath(fromUtf8(path).c_str());
  } else {
    link->narrow->SetPath(path);
  }
}

void setShellLinkDescription(ShellLink *link, const char *description) {
  if (link->wide != nullptr) {
    link->wide->SetDescription(fromUtf8(description).c_str());
  } else {
    link->narrow->SetDescription(description);
  }
}

void setShellLinkWorkingDirectory(ShellLink *link, const char *directory) {
  if (link->wide != nullptr) {
    link->wide->SetWorkingDirectory(fromUtf8(directory).c_str());
  } else {
    link->narrow->SetWorkingDirectory(directory);
  }
}

void setShellLinkIconLocation(ShellLink *link, const char *iconPath, int iconIndex) {
  if (link->wide != nullptr) {
    link->wide->SetIconLocation(fromUtf8(iconPath).c_str(), iconIndex);
  } else {
    link->narrow->SetIconLocation(iconPath, iconIndex);
  }
}

void setShellLinkArguments(ShellLink *link, const char *arguments) {
  if (link->wide != nullptr) {
    link->wide->SetArguments(fromUtf8(arguments).c_str());
  } else {
    link->narrow->SetArguments(arguments);
  }
}

ShellLinkFile *shellLinkFile(ShellLink *link) {
  IPersistFile *persist = nullptr;
  if (FAILED(link->narrow->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)))) return nullptr;
  ShellLinkFile *file = new (std::nothrow) ShellLinkFile{persist};
  if (file == nullptr) persist->Release();
  return file;
}

size_t widenLinkPath(const char *path, char16_t *wide, size_t units) {
  if (units == 0) return 0;
  int capacity = units > 0x7fffffff ? 0x7fffffff : static_cast<int>(units);
  int written = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, reinterpret_cast<wchar_t *>(wide),
                                    capacity);
  if (written <= 0) {
    wide[0] = 0;
    return 0;
  }
  return static_cast<size_t>(written);
}

bool saveShellLink(ShellLinkFile *file, const char16_t *widePath, std::string *reason) {
  if (widePath[0] == 0) {
    *reason = "the link path is empty";
    return false;
  }
  HRESULT result = file->persist->Save(reinterpret_cast<const wchar_t *>(widePath), TRUE);
  if (FAILED(result)) {
    *reason = describeResult("IPersistFile::Save", result);
    return false;
  }
  return true;
}

void releaseShellLinkFile(ShellLinkFile *file) {
  file->persist->Release();
  delete file;
}

void releaseShellLink(ShellLink *link) {
  if (link->wide != nullptr) link->wide->Release();
  link->narrow->Release();
  delete link;
}

}  // namespace platform
