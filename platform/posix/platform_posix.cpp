// POSIX (Linux) implementation of platform.h.
#include "platform/platform.h"
#include "platform/posix/command_line_posix.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace platform {

namespace {

// Quotes one argument so that the Windows command-line rules give it back
// unchanged: blanks and quotes need the surrounding quotes, a quote is
// escaped with a backslash, and backslashes are doubled only where they
// stand before a quote (including the closing one).
void appendQuoted(std::string &line, const std::string &arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
    line += arg;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      line.append(backslashes * 2 + 1, '\\');
    } else {
      line.append(backslashes, '\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, '\\');
  line += '"';
}

bool debuggerAttached() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 10, "TracerPid:") == 0) {
      return std::strtol(line.c_str() + 10, nullptr, 10) != 0;
    }
  }
  return false;
}

}  // namespace

std::string joinCommandLine(const std::vector<std::string> &arguments) {
  std::string line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += ' ';
    appendQuoted(line, arguments[i]);
  }
  return line;
}

std::string commandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  size_t start = 0;
  while (start < raw.size()) {
    size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    arguments.push_back(raw.substr(start, end - start));
    start = end + 1;
  }
  return joinCommandLine(arguments);
}

std::FILE *openFile(const char *path, const char *mode) { return std::fopen(path, mode); }

size_t modulePath(char *buffer, size_t size) {
  if (size == 0) return 0;
  buffer[0] = '\0';
  ssize_t n = readlink("/proc/self/exe", buffer, size);
  if (n <= 0 || static_cast<size_t>(n) >= size) {
    buffer[0] = '\0';
    return 0;
  }
  buffer[n] = '\0';
  return static_cast<size_t>(n);
}

void requestMessageQueue(int) {}

void beepExclamation() {}

void showStopBox(const char *title, const char *text) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  std::fflush(stderr);
}

void breakIntoDebugger() {
  if (debuggerAttached()) std::raise(SIGTRAP);
}

void exitProcess(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(status);
}

void sleepMilliseconds(unsigned milliseconds) {
  struct timespec delay;
  delay.tv_sec = milliseconds / 1000;
  delay.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&delay, &delay) == -1 && errno == EINTR) {
  }
}

}  // namespace platform
