// Windows implementation of platform.h's process services.
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

std::string commandLine() {
  const char *line = GetCommandLineA();
  return line != nullptr ? std::string(line) : std::string();
}

size_t modulePath(char *buffer, size_t size) {
  if (size == 0) return 0;
  buffer[0] = '\0';
  DWORD capacity = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
  // A path that does not fit comes back cut, with the full buffer's length.
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
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
