// ScriptCipher::crypt against OpenSSL's Blowfish on the script buffer's size:
// the same 49-byte key, the same 500,000 bytes, the same block byte order.
// Prints Google Benchmark's table, then the ratio of the best times.
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"
#include "crypt/script_key.h"

namespace {

const int32_t kBufferBytes = 500000;

uint32_t loadHalf(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void storeHalf(unsigned char *p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

const ScriptCipher &keyedCipher() {
  static ScriptCipher cipher;
  static bool keyed = false;
  if (!keyed) {
    keyScriptCipher(cipher);
    keyed = true;
  }
  return cipher;
}

const BF_KEY &opensslKey() {
  static BF_KEY key;
  static bool keyed = false;
  if (!keyed) {
    BF_set_key(&key, ScriptCipher::kKeyLength, keyedCipher().keyBytes());
    keyed = true;
  }
  return key;
}

std::vector<unsigned char> sampleBytes() {
  std::vector<unsigned char> bytes(kBufferBytes);
  uint32_t x = 2463534242u;
  for (auto &b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<unsigned char>(x);
  }
  return bytes;
}

// OpenSSL's block function on the halves as ScriptCipher reads them.
void opensslDecrypt(const BF_KEY &key, unsigned char *buffer, int32_t count) {
  for (int32_t offset = 0; offset < count; offset += 8) {
    BF_LONG data[2] = {loadHalf(buffer + offset), loadHalf(buffer + offset + 4)};
    BF_decrypt(data, &key);
    storeHalf(buffer + offset, data[0]);
    storeHalf(buffer + offset + 4, data[1]);
  }
}

// One block at a time through the public block operation: the plain loop.
void singleBlockDecrypt(const ScriptCipher &cipher, unsigned char *buffer, int32_t count) {
  for (int32_t offset = 0; offset < count; offset += 8) {
    uint32_t l = loadHalf(buffer + offset), r = loadHalf(buffer + offset + 4);
    cipher.decryptBlock(l, r);
    storeHalf(buffer + offset, l);
    storeHalf(buffer + offset + 4, r);
  }
}

void BM_ScriptCipherCrypt(benchmark::State &state) {
  std::vector<unsigned char> bytes = sampleBytes();
  const ScriptCipher &cipher = keyedCipher();
  for (auto _ : state) {
    cipher.crypt(0, bytes.data(), kBufferBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBufferBytes);
}

void BM_ScriptCipherOneBlockAtATime(benchmark::State &state) {
  std::vector<unsigned char> bytes = sampleBytes();
  const ScriptCipher &cipher = keyedCipher();
  for (auto _ : state) {
    singleBlockDecrypt(cipher, bytes.data(), kBufferBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBufferBytes);
}

void BM_OpenSSL_BF_decrypt(benchmark::State &state) {
  std::vector<unsigned char> bytes = sampleBytes();
  const BF_KEY &key = opensslKey();
  for (auto _ : state) {
    opensslDecrypt(key, bytes.data(), kBufferBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kBufferBytes);
}

BENCHMARK(BM_ScriptCipherCrypt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScriptCipherOneBlockAtATime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSSL_BF_decrypt)->Unit(benchmark::kMicrosecond);

// Keeps, per benchmark, the best (smallest) real time of the repetitions and
// the median when repetitions give one.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs) {
      if (run.error_occurred) continue;
      std::string name = run.run_name.function_name;
      double perIteration = run.GetAdjustedRealTime();
      if (run.run_type == Run::RT_Iteration) {
        auto found = best.find(name);
        if (found == best.end() || perIteration < found->second) best[name] = perIteration;
      } else if (run.aggregate_name == "median") {
        median[name] = perIteration;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> best, median;  // in the benchmarks' unit (microseconds)
};

void printRatio(const char *what, const std::map<std::string, double> &times, const char *slow, const char *fast,
                const char *goal) {
  auto s = times.find(slow), f = times.find(fast);
  if (s == times.end() || f == times.end()) return;
  std::printf("cipher: %-6s %s %.1f us, %s %.1f us: ratio %.2fx%s\n", what, slow, s->second, fast, f->second,
              s->second / f->second, goal);
}

// The comparison is meaningless unless both produce the same bytes.
bool sameOutput() {
  std::vector<unsigned char> ours = sampleBytes(), theirs = sampleBytes(), plain = sampleBytes();
  keyedCipher().crypt(0, ours.data(), kBufferBytes);
  opensslDecrypt(opensslKey(), theirs.data(), kBufferBytes);
  singleBlockDecrypt(keyedCipher(), plain.data(), kBufferBytes);
  return ours == theirs && ours == plain;
}

}  // namespace

int main(int argc, char **argv) {
  // Five repetitions unless the caller says otherwise: the ratio is taken
  // from their median and from their best.
  std::vector<char *> args(argv, argv + argc);
  static char defaultRepetitions[] = "--benchmark_repetitions=5";
  bool repetitionsGiven = false;
  for (char *arg : args) repetitionsGiven |= std::strncmp(arg, "--benchmark_repetitions", 23) == 0;
  if (!repetitionsGiven) args.push_back(defaultRepetitions);
  argc = static_cast<int>(args.size());
  args.push_back(nullptr);
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bool same = sameOutput();
  std::printf("cipher: %d bytes, 49-byte key; ScriptCipher and OpenSSL give the same bytes: %s\n", kBufferBytes,
              same ? "yes" : "NO");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (auto *times : {&reporter.median, &reporter.best}) {
    const char *what = times == &reporter.median ? "median" : "best";
    printRatio(what, *times, "BM_OpenSSL_BF_decrypt", "BM_ScriptCipherCrypt", " (goal >= 3.00x)");
    printRatio(what, *times, "BM_ScriptCipherOneBlockAtATime", "BM_ScriptCipherCrypt", "");
  }
  benchmark::Shutdown();
  return same ? 0 : 1;
}
