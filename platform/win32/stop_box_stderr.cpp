// The stop box of the Windows test shells: "title: text" on standard error, as
// the POSIX layer shows it, so that no test waits for a click by accident.
#include <cstdio>

#include "platform/platform.h"

namespace platform {

void showStopBox(const char *title, const char *text) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  std::fflush(stderr);
}

}  // namespace platform
