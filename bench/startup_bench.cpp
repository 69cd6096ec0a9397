// startup_bench RUNS NAME_A COMMAND_A... -- NAME_B COMMAND_B... [-- NAME_C COMMAND_C...]
// Starts each command RUNS times, taking turns, and reports the wall time
// from fork to exit and the peak resident memory (the child's ru_maxrss),
// with medians, and the first command's ratios to each of the others. The
// commands are expected to exit by themselves (e.g. a shell running
// "update; exit").
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
  std::fprintf(stderr, "usage: startup_bench RUNS NAME_A COMMAND_A... -- NAME_B COMMAND_B... [-- ...]\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 6) return usage();
  int runs = std::atoi(argv[1]);
  if (runs < 1) return usage();
  std::vector<Subject> subjects;
  for (int i = 2; i < argc; ++i) {
    Subject subject;
    subject.name = argv[i++];
    while (i < argc && std::string(argv[i]) != "--") subject.command.push_back(argv[i++]);
    if (subject.command.empty()) return usage();
    subjects.push_back(subject);
  }
  if (subjects.size() < 2) return usage();

  // One unmeasured start of each fills the page cache.
  for (const Subject &subject : subjects) {
    Subject warm = subject;
    if (!runOnce(warm)) return 1;
  }
  const size_t n = subjects.size();
  for (int run = 0; run < runs; ++run) {
    // Each run starts with the next one, so that none gains from its place.
    for (size_t k = 0; k < n; ++k) {
      if (!runOnce(subjects[(run + k) % n])) return 1;
    }
  }
  std::printf("startup: %d runs each, taking turns, under the same X server\n", runs);
  for (const Subject &subject : subjects) report(subject);
  const Subject &a = subjects[0];
  for (size_t k = 1; k < n; ++k) {
    const Subject &b = subjects[k];
    std::printf("startup: ratio time %s / %s = %.2fx (median), %.2fx (min) (goal <= 1.30x)\n", a.name.c_str(), b.name.c_str(),
                median(a.milliseconds) / median(b.milliseconds), minimum(a.milliseconds) / minimum(b.milliseconds));
    std::printf("startup: peak memory %s - %s = %+.1f MB (median) (goal <= +5.0 MB)\n", a.name.c_str(), b.name.c_str(),
                (median(a.peakKilobytes) - median(b.peakKilobytes)) / 1024);
  }
  return 0;
}
