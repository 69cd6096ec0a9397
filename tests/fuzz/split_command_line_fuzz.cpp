// The command-line splitter and the Windows-quoting join of the POSIX
// platform layer. The input is an argument vector, one argument per line
// (no NUL inside: the line is a C text). Oracle: splitting the joined line
// gives the vector back exactly; splitting the raw input as a line never
// gives more arguments, or longer ones, than the line has room for.
#include <tcl.h>

#include <cstring>

#include "platform/posix/command_line_posix.h"
#include "shell/split_command_line.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

std::vector<std::string> split(const std::string &line) {
  int argc = -1;
  char **argv = nullptr;
  SplitCommandLine(line.c_str(), &argc, &argv);
  FUZZ_CHECK(argc >= 0 && argv != nullptr && argv[argc] == nullptr);
  std::vector<std::string> arguments(argv, argv + argc);
  // One block holds the vector and the texts; the shell keeps it for good.
  Tcl_Free(reinterpret_cast<char *>(argv));
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (std::memchr(data, '\0', size) != nullptr) return 0;
  const std::string raw(reinterpret_cast<const char *>(data), size);

  size_t total = 0;
  for (const std::string &argument : split(raw)) total += argument.size() + 1;
  FUZZ_CHECK(total <= raw.size() + 1);

  const std::vector<std::string> arguments = fuzz::splitWords(data, size);
  FUZZ_CHECK(split(platform::joinCommandLine(arguments)) == arguments);
  return 0;
}
