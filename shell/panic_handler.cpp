#include "shell/panic_handler.h"

#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace {
const size_t kPanicBufferSize = 1024;
}

void PanicHandler(const char *format, ...) {
  char buffer[kPanicBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  platform::beepExclamation();
  platform::showStopBox("Fatal Error in Wish", buffer);
  platform::breakIntoDebugger();
  platform::exitProcess(1);
}
