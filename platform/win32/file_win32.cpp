// Files on Windows: the regular-file check and the write-beside-and-rename
// replacement of platform.h. Paths come in UTF-8 and go to the wide calls.
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/utf8_win32.h"

namespace platform {

namespace {

std::string describeError(const char *what, DWORD error) {
  char message[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                message, sizeof message, nullptr);
  while (length > 0 && (message[length - 1] == '\n' || message[length - 1] == '\r' || message[length - 1] == '.')) {
    --length;
  }
  std::string text = length > 0 ? std::string(message, length) : "error " + std::to_string(error);
  return what != nullptr ? std::string(what) + ": " + text : text;
}

}  // namespace

bool isRegularFile(const char *path, std::string *reason) {
  // No access rights: the handle only answers questions, also for devices
  // (NUL, CON, pipes) that a read would block on or never finish.
  HANDLE file = CreateFileW(fromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = describeError(nullptr, GetLastError());
    return false;
  }
  BY_HANDLE_FILE_INFORMATION information;
  bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
                 (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  CloseHandle(file);
  if (!regular) *reason = "not a regular file";
  return regular;
}

bool replaceFile(const char *path, const void *data, size_t size, std::string *reason) {
  static unsigned serial = 0;
  std::wstring target = fromUtf8(path);
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    *reason = describeError("cannot create a temporary file beside it", GetLastError());
    return false;
  }
  const unsigned char *bytes = static_cast<const unsigned char *>(data);
  size_t done = 0;
  bool written = true;
  while (written && done < size) {
    DWORD chunk = size - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size - done);
    DWORD count = 0;
    written = WriteFile(file, bytes + done, chunk, &count, nullptr) && count > 0;
    done += count;
  }
  if (!written || !FlushFileBuffers(file)) {
    *reason = describeError("cannot write the temporary file", GetLastError());
    CloseHandle(file);
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (!CloseHandle(file)) {
    *reason = describeError("cannot write the temporary file", GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *reason = describeError("cannot move the file into place", GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
