// Windows implementation of platform.h's process services.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/utf8_win32.h"

namespace platform {

// The command line and the module path are taken in UTF-16 and given in
// UTF-8: the ANSI forms turn every character outside the code page into '?'.
std::string commandLine() {
  const wchar_t *line = GetCommandLineW();
  return line != nullptr ? toUtf8(line) : std::string();
}

size_t modulePath(char *buffer, size_t size) {
  if (size == 0) return 0;
  buffer[0] = '\0';
  wchar_t path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
  // A path that does not fit comes back cut, with the full buffer's length.
  if (length == 0 || length > MAX_PATH) return 0;
  std::string text = toUtf8(path);
  if (text.empty() || text.size() >= size) return 0;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return text.size();
}

std::FILE *openFile(const char *path, const char *mode) {
  return _wfopen(fromUtf8(path).c_str(), fromUtf8(mode).c_str());
}

void requestMessageQueue(int messages) { SetMessageQueue(messages); }

void beepExclamation() { MessageBeep(MB_ICONEXCLAMATION); }

void breakIntoDebugger() {
  // With no debugger attached the breakpoint exception would end the process
  // with the exception's code and the system's crash report instead of
  // letting the caller end it with its own status.
  if (IsDebuggerPresent()) DebugBreak();
}

void exitProcess(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  ExitProcess(static_cast<UINT>(status));
}

void sleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace platform
