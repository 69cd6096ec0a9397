// Windows clocks for platform.h. The notifier waits for lengths of time
// (MsgWaitForMultipleObjectsEx), which a change of the clock does not move,
// so no watch is needed.
#include <windows.h>

#include "platform/platform.h"

namespace platform {

namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
const long long kUnixEpochInFileTime = 116444736000000000LL;

using PreciseTimeProc = VOID(WINAPI *)(LPFILETIME);

// GetSystemTimePreciseAsFileTime from Windows 8 on; the coarser call before.
PreciseTimeProc wallTimeProc() {
  static PreciseTimeProc proc = [] {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "GetSystemTimePreciseAsFileTime") : nullptr;
    return found != nullptr ? reinterpret_cast<PreciseTimeProc>(reinterpret_cast<void *>(found))
                            : &GetSystemTimeAsFileTime;
  }();
  return proc;
}

}  // namespace

long long wallClockMicroseconds() {
  FILETIME now;
  wallTimeProc()(&now);
  long long intervals = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return (intervals - kUnixEpochInFileTime) / 10;
}

long long steadyClockMicroseconds() {
  static const long long frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<long long>(f.QuadPart);
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  long long ticks = count.QuadPart;
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

bool notifierWaitsForWallClock() { return false; }

int openClockSetWatch(std::string *) { return -1; }

void rearmClockSetWatch(int) {}

}  // namespace platform
