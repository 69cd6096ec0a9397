// startup_bench RUNS NAME_A COMMAND_A... -- NAME_B COMMAND_B...
// Starts each command RUNS times, alternating A and B, and reports the wall
// time from fork to exit and the peak resident memory (the child's
// ru_maxrss), with medians and the ratios B-relative-to-A. The commands are
// expected to exit by themselves (e.g. a shell running "update; exit").
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Subject {
  std::string name;
  std::vector<std::string> command;
  std::vector<double> milliseconds;
  std::vector<double> peakKilobytes;
};

// One run: false when the command could not start or did not exit with 0.
bool runOnce(Subject &subject) {
  std::vector<char *> argv;
  for (std::string &word : subject.command) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    execvp(argv[0], argv.data());
    std::perror(argv[0]);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) return false;
  auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "startup: %s ended with status %d\n", subject.name.c_str(),
                 WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return false;
  }
  subject.milliseconds.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  subject.peakKilobytes.push_back(static_cast<double>(usage.ru_maxrss));
  return true;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double minimum(const std::vector<double> &values) { return *std::min_element(values.begin(), values.end()); }

void report(const Subject &s) {
  std::printf("startup: %-10s time median %7.1f ms, min %7.1f ms; peak memory median %6.1f MB, min %6.1f MB\n",
              s.name.c_str(), median(s.milliseconds), minimum(s.milliseconds), median(s.peakKilobytes) / 1024,
              minimum(s.peakKilobytes) / 1024);
}

int usage() {
  std::fprintf(stderr, "usage: startup_bench RUNS NAME_A COMMAND_A... -- NAME_B COMMAND_B...\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 6) return usage();
  int runs = std::atoi(argv[1]);
  if (runs < 1) return usage();
  Subject a, b;
  int i = 2;
  a.name = argv[i++];
  while (i < argc && std::string(argv[i]) != "--") a.command.push_back(argv[i++]);
  if (i >= argc || a.command.empty()) return usage();
  ++i;
  if (i >= argc) return usage();
  b.name = argv[i++];
  while (i < argc) b.command.push_back(argv[i++]);
  if (b.command.empty()) return usage();

  // One unmeasured start of each fills the page cache.
  Subject warmA = a, warmB = b;
  if (!runOnce(warmA) || !runOnce(warmB)) return 1;
  for (int run = 0; run < runs; ++run) {
    // Alternate the order so that neither gains from running second.
    Subject &first = run % 2 ? b : a;
    Subject &second = run % 2 ? a : b;
    if (!runOnce(first) || !runOnce(second)) return 1;
  }
  std::printf("startup: %d runs each, alternating, under the same X server\n", runs);
  report(a);
  report(b);
  std::printf("startup: ratio time %s / %s = %.2fx (median), %.2fx (min) (goal <= 1.30x)\n", a.name.c_str(),
              b.name.c_str(), median(a.milliseconds) / median(b.milliseconds),
              minimum(a.milliseconds) / minimum(b.milliseconds));
  std::printf("startup: peak memory %s - %s = %+.1f MB (median) (goal <= +5.0 MB)\n", a.name.c_str(),
              b.name.c_str(), (median(a.peakKilobytes) - median(b.peakKilobytes)) / 1024);
  return 0;
}
