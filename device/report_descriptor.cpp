#include "device/report_descriptor.h"

#include <map>
#include <vector>

namespace device {

namespace {

// Item prefixes (HID 1.11, 6.2.2): bits 0-1 size code, 2-3 type, 4-7 tag.
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;
constexpr uint8_t kMainOutput = 0x9;
constexpr uint8_t kGlobalReportSize = 0x7;
constexpr uint8_t kGlobalReportId = 0x8;
constexpr uint8_t kGlobalReportCount = 0x9;
constexpr uint8_t kGlobalPush = 0xA;
constexpr uint8_t kGlobalPop = 0xB;
// A descriptor deeper than this in Push items is taken as malformed.
constexpr size_t kMaxPushDepth = 32;

struct Globals {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint32_t reportId = 0;
};

}  // namespace

int outputReportLength(const uint8_t *descriptor, size_t size) {
  if (descriptor == nullptr) return size == 0 ? 0 : -1;
  Globals globals;
  std::vector<Globals> stack;
  std::map<uint32_t, uint64_t> outputBits;  // per report ID
  size_t i = 0;
  while (i < size) {
    uint8_t prefix = descriptor[i];
    if (prefix == kLongItemPrefix) {
      if (i + 1 >= size) return -1;
      size_t skip = 3u + descriptor[i + 1];
      if (i + skip > size) return -1;
      i += skip;
      continue;
    }
    static const size_t kDataSize[] = {0, 1, 2, 4};
    size_t dataSize = kDataSize[prefix & 0x3];
    if (i + 1 + dataSize > size) return -1;
    uint32_t data = 0;
    for (size_t b = 0; b < dataSize; ++b) data |= uint32_t(descriptor[i + 1 + b]) << (8 * b);
    uint8_t type = (prefix >> 2) & 0x3;
    uint8_t tag = prefix >> 4;
    if (type == kTypeMain && tag == kMainOutput) {
      // Saturates rather than wraps: a total past 2^64 bits is no length at all.
      uint64_t &bits = outputBits[globals.reportId];
      const uint64_t added = uint64_t(globals.reportSize) * globals.reportCount;
      bits = added > UINT64_MAX - bits ? UINT64_MAX : bits + added;
    } else if (type == kTypeGlobal) {
      switch (tag) {
        case kGlobalReportSize: globals.reportSize = data; break;
        case kGlobalReportCount: globals.reportCount = data; break;
        case kGlobalReportId: globals.reportId = data; break;
        case kGlobalPush:
          if (stack.size() >= kMaxPushDepth) return -1;
          stack.push_back(globals);
          break;
        case kGlobalPop:
          if (stack.empty()) return -1;
          globals = stack.back();
          stack.pop_back();
          break;
        default: break;
      }
    }
    i += 1 + dataSize;
  }
  uint64_t longest = 0;
  for (const auto &entry : outputBits) {
    if (entry.second > longest) longest = entry.second;
  }
  if (longest == 0) return 0;
  uint64_t bytes = longest / 8 + (longest % 8 != 0) + 1;
  return bytes > 0x7fffffff ? -1 : static_cast<int>(bytes);
}

}  // namespace device
