#include "shell/split_command_line.h"

#include <cstring>
#include <tcl.h>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A pessimistic argument count: 2, plus one for each run of blanks that is
// not at the very end of the line.
size_t estimateArgumentCount(const char *p) {
  size_t count = 2;
  for (;;) {
    while (*p != '\0' && !isBlank(*p)) ++p;
    if (*p == '\0') break;
    while (isBlank(*p)) ++p;
    if (*p == '\0') break;
    ++count;
  }
  return count;
}

}  // namespace

void SplitCommandLine(const char *commandLine, int *argcPtr, char ***argvPtr) {
  size_t slots = estimateArgumentCount(commandLine);
  size_t length = std::strlen(commandLine);
  // Arguments never take more room than the line itself: each ends with a
  // NUL where the line had a blank (or its end), and quotes and escaping
  // backslashes are dropped, never added.
  size_t bytes = slots * sizeof(char *) + length + 1;
  char **argv = reinterpret_cast<char **>(Tcl_Alloc(static_cast<unsigned>(bytes)));
  char *out = reinterpret_cast<char *>(argv + slots);

  const char *p = commandLine;
  size_t argc = 0;
  while (argc + 1 < slots) {
    while (isBlank(*p)) ++p;
    if (*p == '\0') break;
    argv[argc++] = out;

    bool inQuotes = false;
    for (;;) {
      bool copy = true;
      size_t slashes = 0;
      while (*p == '\\') {
        ++slashes;
        ++p;
      }
      if (*p == '"') {
        if (slashes % 2 == 0) {
          copy = false;
          if (inQuotes && p[1] == '"') {
            ++p;  // "" inside quotes: a literal quote
            copy = true;
          } else {
            inQuotes = !inQuotes;
          }
        }
        slashes /= 2;
      }
      while (slashes-- > 0) *out++ = '\\';
      if (*p == '\0' || (!inQuotes && isBlank(*p))) break;
      if (copy) *out++ = *p;
      ++p;
    }
    *out++ = '\0';
  }
  argv[argc] = nullptr;
  *argcPtr = static_cast<int>(argc);
  *argvPtr = argv;
}
