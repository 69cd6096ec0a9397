// The link writer, read back by a reader of its own that checks every offset
// against the file. The input: one byte of target facts (bit 0 exists, bit 1
// directory), four bytes of icon index, eight bytes of a POSIX second count,
// then the texts one per line: target, description, relative path, working
// directory, arguments, icon location. Oracle: each field comes back where
// the format puts it (texts as the writer's lenient UTF-16), every offset and
// string lies inside its structure, the narrow target path is the
// Windows-1252 form of the wide one, and the file ends with the terminal
// block; FILETIMEs never pass the last one Windows reads and never run
// backwards.
#include <cstring>

#include "platform/posix/shell_link_format.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

namespace slf = shell_link_format;

// Little-endian reads that refuse to leave the file.
class Reader {
 public:
  explicit Reader(const std::string &bytes) : bytes_(bytes) {}
  uint32_t u16(size_t at) const {
    FUZZ_CHECK(at + 2 <= bytes_.size());
    return static_cast<uint8_t>(bytes_[at]) | static_cast<uint8_t>(bytes_[at + 1]) << 8;
  }
  uint32_t u32(size_t at) const { return u16(at) | u16(at + 2) << 16; }
  uint64_t u64(size_t at) const { return u32(at) | static_cast<uint64_t>(u32(at + 4)) << 32; }
  // A NUL-terminated narrow text that must end before limit.
  std::string narrow(size_t at, size_t limit) const {
    FUZZ_CHECK(limit <= bytes_.size() && at < limit);
    const size_t end = bytes_.find('\0', at);
    FUZZ_CHECK(end != std::string::npos && end < limit);
    return bytes_.substr(at, end - at);
  }
  std::u16string wide(size_t at, size_t limit) const {
    std::u16string text;
    for (;; at += 2) {
      FUZZ_CHECK(at + 2 <= limit);
      const char16_t unit = static_cast<char16_t>(u16(at));
      if (unit == 0) return text;
      text.push_back(unit);
    }
  }

 private:
  const std::string &bytes_;
};

// The Windows-1252 form of a UTF-16 text, as Windows' own conversion (no
// best fit) gives it: one byte per character, '?' where the code page has none.
std::string windows1252(const std::u16string &wide) {
  // The characters of bytes 0x80 to 0x9F; the five the code page leaves
  // undefined stand for the C1 control of their own value.
  static const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string narrow;
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t c = wide[i];
    char byte = '?';
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) byte = static_cast<char>(c);
    for (int k = 0; k < 32; ++k) {
      if (kHigh[k] == c) byte = static_cast<char>(0x80 + k);
    }
    narrow.push_back(byte);
    // A surrogate pair is one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
  }
  return narrow;
}

void checkLinkInfo(const Reader &r, size_t at, size_t fileSize, const std::string &target) {
  const uint32_t size = r.u32(at), headerSize = r.u32(at + 4);
  FUZZ_CHECK(size <= fileSize - at);
  const bool unicode = headerSize == 0x24;
  FUZZ_CHECK(unicode || headerSize == 0x1C);
  FUZZ_CHECK(r.u32(at + 8) == 1);  // volume ID and local base path
  const size_t end = at + size;
  const uint32_t volumeId = r.u32(at + 12);
  FUZZ_CHECK(volumeId >= headerSize && volumeId + 16 <= size);
  FUZZ_CHECK(r.u32(at + volumeId) + volumeId <= size);
  const std::string localPath = r.narrow(at + r.u32(at + 16), end);
  FUZZ_CHECK(r.u32(at + 20) == 0);  // no network location
  FUZZ_CHECK(r.narrow(at + r.u32(at + 24), end).empty());
  bool ascii = true;
  for (unsigned char c : target) ascii = ascii && c < 0x80;
  // Outside ASCII the narrow form is the code page's; the wide one is exact.
  if (ascii) FUZZ_CHECK(localPath == target);
  if (unicode) {
    const std::u16string widePath = r.wide(at + r.u32(at + 28), end);
    FUZZ_CHECK(widePath == slf::utf8ToUtf16Lenient(target));
    FUZZ_CHECK(r.wide(at + r.u32(at + 32), end).empty());
    FUZZ_CHECK(localPath == windows1252(widePath));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 13) return 0;
  slf::TargetFacts facts;
  facts.exists = data[0] & 1;
  facts.directory = data[0] & 2;
  facts.size = 0x1122334455ull;
  int32_t iconIndex;
  std::memcpy(&iconIndex, data + 1, 4);
  int64_t seconds;
  std::memcpy(&seconds, data + 5, 8);

  const uint64_t latest = 0x7FFFFFFFFFFFFFFFull;
  facts.writeTime = slf::fileTimeFromPosix(seconds, 999999999);
  FUZZ_CHECK(facts.writeTime <= latest);
  FUZZ_CHECK(slf::fileTimeFromPosix(seconds, 0) <= facts.writeTime);
  if (seconds < INT64_MAX) FUZZ_CHECK(facts.writeTime <= slf::fileTimeFromPosix(seconds + 1, 0));
  facts.creationTime = slf::fileTimeFromPosix(seconds, 0);
  facts.accessTime = slf::fileTimeFromPosix(seconds / -2, 0);

  std::vector<std::string> texts = fuzz::splitWords(data + 13, size - 13);
  texts.resize(6);
  // The writer is given C texts.
  for (std::string &text : texts) text = text.c_str();
  slf::LinkFields fields;
  fields.targetPath = texts[0];
  fields.description = texts[1];
  fields.relativePath = texts[2];
  fields.workingDirectory = texts[3];
  fields.arguments = texts[4];
  fields.iconLocation = texts[5];
  fields.iconIndex = iconIndex;

  std::string file;
  bool fits = true;
  for (size_t i = 1; i < 6; ++i) fits = fits && slf::utf8ToUtf16Lenient(texts[i]).size() <= slf::kMaxStringUnits;
  FUZZ_CHECK(slf::encodeShellLink(fields, facts, &file) == fits);
  if (!fits) return 0;

  const Reader r(file);
  FUZZ_CHECK(r.u32(0) == slf::kHeaderSize);
  const uint32_t flags = r.u32(0x14);
  const uint32_t expectedFlags = slf::kIsUnicode | (texts[0].empty() ? 0 : slf::kHasLinkInfo) |
                                 (texts[1].empty() ? 0 : slf::kHasName) |
                                 (texts[2].empty() ? 0 : slf::kHasRelativePath) |
                                 (texts[3].empty() ? 0 : slf::kHasWorkingDir) |
                                 (texts[4].empty() ? 0 : slf::kHasArguments) |
                                 (texts[5].empty() ? 0 : slf::kHasIconLocation);
  FUZZ_CHECK(flags == expectedFlags);
  const uint32_t attributes = r.u32(0x18);
  FUZZ_CHECK(attributes == (!facts.exists ? 0 : facts.directory ? slf::kAttributeDirectory : slf::kAttributeArchive));
  FUZZ_CHECK(r.u64(0x1C) == (facts.exists ? facts.creationTime : 0));
  FUZZ_CHECK(r.u64(0x24) == (facts.exists ? facts.accessTime : 0));
  FUZZ_CHECK(r.u64(0x2C) == (facts.exists ? facts.writeTime : 0));
  FUZZ_CHECK(r.u32(0x34) == (facts.exists && !facts.directory ? 0x22334455u : 0));
  FUZZ_CHECK(static_cast<int32_t>(r.u32(0x38)) == iconIndex);
  FUZZ_CHECK(r.u32(0x3C) == slf::kShowNormal);

  size_t at = slf::kHeaderSize;
  if (flags & slf::kHasLinkInfo) {
    checkLinkInfo(r, at, file.size(), texts[0]);
    at += r.u32(at);
  }
  const uint32_t bits[] = {slf::kHasName, slf::kHasRelativePath, slf::kHasWorkingDir, slf::kHasArguments,
                           slf::kHasIconLocation};
  for (size_t i = 0; i < 5; ++i) {
    if (!(flags & bits[i])) continue;
    const uint32_t count = r.u16(at);
    std::u16string text;
    for (uint32_t k = 0; k < count; ++k) text.push_back(static_cast<char16_t>(r.u16(at + 2 + 2 * k)));
    FUZZ_CHECK(text == slf::utf8ToUtf16Lenient(texts[1 + i]));
    at += 2 + 2 * size_t(count);
  }
  FUZZ_CHECK(r.u32(at) == 0 && at + 4 == file.size());  // the terminal block ends the file
  return 0;
}
