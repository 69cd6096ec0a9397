// The report-descriptor parser against a reference written apart from it
// whose bit totals are 128-bit and so cannot overflow: a descriptor is at
// most a few thousand items of at most (2^32-1)^2 bits each. The input is
// the descriptor.
#include <map>

#include "device/report_descriptor.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using Bits = unsigned __int128;

// -1 malformed, 0 no output report, otherwise the longest output report's
// bits (which may pass 2^64).
struct Reference {
  bool malformed = false;
  Bits longest = 0;
};

Reference reference(const uint8_t *d, size_t size) {
  Reference result;
  struct Globals {
    uint64_t size = 0, count = 0, id = 0;
  } globals;
  std::vector<Globals> stack;
  std::map<uint64_t, Bits> totals;
  for (size_t i = 0; i < size;) {
    if (d[i] == 0xFE) {  // long item: prefix, data size, tag, data
      if (size - i < 2 || size - i < 3u + d[i + 1]) return result.malformed = true, result;
      i += 3u + d[i + 1];
      continue;
    }
    const size_t dataSize = (d[i] & 3) == 3 ? 4 : (d[i] & 3);
    if (size - i < 1 + dataSize) return result.malformed = true, result;
    uint64_t value = 0;
    for (size_t b = dataSize; b > 0; --b) value = value << 8 | d[i + b];
    const unsigned type = (d[i] >> 2) & 3, tag = d[i] >> 4;
    if (type == 0 && tag == 9) totals[globals.id] += Bits(globals.size) * globals.count;
    if (type == 1 && tag == 7) globals.size = value;
    if (type == 1 && tag == 9) globals.count = value;
    if (type == 1 && tag == 8) globals.id = value;
    if (type == 1 && tag == 10) {
      if (stack.size() == 32) return result.malformed = true, result;
      stack.push_back(globals);
    }
    if (type == 1 && tag == 11) {
      if (stack.empty()) return result.malformed = true, result;
      globals = stack.back();
      stack.pop_back();
    }
    i += 1 + dataSize;
  }
  for (const auto &entry : totals) result.longest = entry.second > result.longest ? entry.second : result.longest;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const Reference expected = reference(data, size);
  int want;
  if (expected.malformed) {
    want = -1;
  } else if (expected.longest == 0) {
    want = 0;
  } else {
    const Bits bytes = (expected.longest + 7) / 8 + 1;  // the report ID byte counted
    want = bytes > 0x7fffffff ? -1 : static_cast<int>(bytes);
  }
  FUZZ_CHECK(device::outputReportLength(data, size) == want);
  return 0;
}
