#include "platform/posix/shell_link_format.h"

#include <cctype>
#include <vector>

namespace shell_link_format {

namespace {

// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
const unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
const uint32_t kLinkInfoHeaderSize = 0x1C;
const uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
const uint32_t kVolumeIdAndLocalBasePath = 0x1;
const uint32_t kDriveFixed = 3;
const uint32_t kVolumeIdHeaderSize = 0x10;
const char16_t kReplacement = 0xFFFD;
// Seconds from 1601-01-01 to 1970-01-01.
const int64_t kEpochDifference = 11644473600;
const uint64_t kTicksPerSecond = 10000000;
// The last FILETIME Windows turns into a date (year 30828).
const uint64_t kLatestFileTime = 0x7FFFFFFFFFFFFFFF;

void put16(std::string *out, uint32_t v) {
  out->push_back(static_cast<char>(v & 0xff));
  out->push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::string *out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

void put64(std::string *out, uint64_t v) {
  put32(out, static_cast<uint32_t>(v));
  put32(out, static_cast<uint32_t>(v >> 32));
}

void putWide(std::string *out, const std::u16string &wide) {
  for (char16_t unit : wide) put16(out, unit);
}

bool hasNonAscii(const std::string &text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

// Windows-1252 bytes 0x80 to 0x9F by the character they stand for; 0 where
// the code page maps the byte to the C1 control of the same value.
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char windows1252Byte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i) {
    if (kWindows1252High[i] == unit || (kWindows1252High[i] == 0 && unit == 0x80 + i)) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

// The LinkInfo structure for a local target path. The narrow path is in the
// ANSI code page of Western Windows systems, which readers such as Wine's
// take it in; a path outside ASCII also gets its UTF-16 form, which is the
// exact one.
std::string linkInfo(const std::string &path) {
  const bool unicode = hasNonAscii(path);
  const uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;

  std::string volumeId;
  put32(&volumeId, kVolumeIdHeaderSize + 1);
  put32(&volumeId, kDriveFixed);
  put32(&volumeId, 0);  // drive serial number
  put32(&volumeId, kVolumeIdHeaderSize);
  volumeId.push_back('\0');  // empty volume label

  std::string body = volumeId;
  const uint32_t localBasePathOffset = headerSize + static_cast<uint32_t>(body.size());
  body.append(utf8ToWindows1252(path));
  body.push_back('\0');
  const uint32_t commonPathSuffixOffset = headerSize + static_cast<uint32_t>(body.size());
  body.push_back('\0');
  uint32_t localBasePathOffsetUnicode = 0, commonPathSuffixOffsetUnicode = 0;
  if (unicode) {
    localBasePathOffsetUnicode = headerSize + static_cast<uint32_t>(body.size());
    putWide(&body, utf8ToUtf16Lenient(path));
    put16(&body, 0);
    commonPathSuffixOffsetUnicode = headerSize + static_cast<uint32_t>(body.size());
    put16(&body, 0);
  }

  std::string info;
  put32(&info, headerSize + static_cast<uint32_t>(body.size()));
  put32(&info, headerSize);
  put32(&info, kVolumeIdAndLocalBasePath);
  put32(&info, headerSize);  // the volume ID follows the header
  put32(&info, localBasePathOffset);
  put32(&info, 0);  // no network location
  put32(&info, commonPathSuffixOffset);
  if (unicode) {
    put32(&info, localBasePathOffsetUnicode);
    put32(&info, commonPathSuffixOffsetUnicode);
  }
  return info + body;
}

// Appends a counted UTF-16 string; false when it is too long for its count.
bool putCountedString(std::string *out, const std::string &text) {
  std::u16string wide = utf8ToUtf16Lenient(text);
  if (wide.size() > kMaxStringUnits) return false;
  put16(out, static_cast<uint32_t>(wide.size()));
  putWide(out, wide);
  return true;
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when it is
// not a well-formed sequence.
size_t decodeOne(const std::string &text, size_t i, char32_t *code) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  size_t length;
  char32_t value, minimum;
  if (lead < 0x80) {
    *code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code = value;
  return length;
}

void appendUtf16(std::u16string *wide, char32_t code) {
  if (code < 0x10000) {
    wide->push_back(static_cast<char16_t>(code));
  } else {
    code -= 0x10000;
    wide->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    wide->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  }
}

void appendUtf8(std::string *out, char32_t code) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

struct SplitPath {
  bool absolute = false;
  std::string root;  // "/" or the drive, "C:"
  char separator = '/';
  std::vector<std::string> parts;
  bool hasParent = false;
};

SplitPath splitPath(const std::string &path) {
  SplitPath split;
  size_t start;
  if (!path.empty() && path[0] == '/') {
    split.absolute = true;
    split.root = "/";
    start = 1;
  } else if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
             (path[2] == '\\' || path[2] == '/')) {
    split.absolute = true;
    split.root = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":";
    split.separator = '\\';
    start = 3;
  } else {
    return split;
  }
  std::string part;
  for (size_t i = start; i <= path.size(); ++i) {
    const bool end = i == path.size();
    const bool separator = !end && (path[i] == '/' || (split.separator == '\\' && path[i] == '\\'));
    if (end || separator) {
      if (part == "..") split.hasParent = true;
      if (!part.empty() && part != ".") split.parts.push_back(part);
      part.clear();
    } else {
      part.push_back(path[i]);
    }
  }
  return split;
}

}  // namespace

bool utf8ToUtf16(const std::string &text, std::u16string *wide) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    char32_t code;
    size_t length = decodeOne(text, i, &code);
    if (length == 0) return false;
    appendUtf16(&out, code);
    i += length;
  }
  *wide = std::move(out);
  return true;
}

std::u16string utf8ToUtf16Lenient(const std::string &text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    char32_t code;
    size_t length = decodeOne(text, i, &code);
    if (length == 0) {
      out.push_back(kReplacement);
      ++i;
    } else {
      appendUtf16(&out, code);
      i += length;
    }
  }
  return out;
}

std::string utf8ToWindows1252(const std::string &text) {
  const std::u16string wide = utf8ToUtf16Lenient(text);
  std::string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    out.push_back(windows1252Byte(wide[i]));
    // A surrogate pair is one character, and one '?'.
    if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      ++i;
    }
  }
  return out;
}

std::string utf16ToUtf8(const char16_t *wide) {
  std::string out;
  for (size_t i = 0; wide[i] != 0; ++i) {
    char32_t code = wide[i];
    if (code >= 0xD800 && code <= 0xDBFF && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = kReplacement;
    }
    appendUtf8(&out, code);
  }
  return out;
}

std::string relativeTargetPath(const std::string &linkPath, const std::string &targetPath) {
  SplitPath link = splitPath(linkPath);
  SplitPath target = splitPath(targetPath);
  if (!link.absolute || !target.absolute || link.root != target.root || link.hasParent || target.hasParent ||
      link.parts.empty() || target.parts.empty()) {
    return std::string();
  }
  link.parts.pop_back();  // the link file's own name
  size_t common = 0;
  while (common < link.parts.size() && common < target.parts.size() - 1 &&
         link.parts[common] == target.parts[common]) {
    ++common;
  }
  const char separator = target.separator;
  std::string relative;
  if (common == link.parts.size()) {
    relative = std::string(".") + separator;
  } else {
    for (size_t i = common; i < link.parts.size(); ++i) relative += std::string("..") + separator;
  }
  for (size_t i = common; i < target.parts.size(); ++i) {
    relative += target.parts[i];
    if (i + 1 < target.parts.size()) relative.push_back(separator);
  }
  return relative;
}

uint64_t fileTimeFromPosix(int64_t seconds, int64_t nanoseconds) {
  if (seconds < -kEpochDifference) return 0;
  // Compared before adding: a file system may hold any 64-bit second count.
  if (seconds > static_cast<int64_t>(kLatestFileTime / kTicksPerSecond) - kEpochDifference) return kLatestFileTime;
  const uint64_t ticks = static_cast<uint64_t>(seconds + kEpochDifference) * kTicksPerSecond +
                         static_cast<uint64_t>(nanoseconds / 100);
  return ticks < kLatestFileTime ? ticks : kLatestFileTime;
}

bool encodeShellLink(const LinkFields &fields, const TargetFacts &target, std::string *file) {
  uint32_t flags = kIsUnicode;
  if (!fields.targetPath.empty()) flags |= kHasLinkInfo;
  if (!fields.description.empty()) flags |= kHasName;
  if (!fields.relativePath.empty()) flags |= kHasRelativePath;
  if (!fields.workingDirectory.empty()) flags |= kHasWorkingDir;
  if (!fields.arguments.empty()) flags |= kHasArguments;
  if (!fields.iconLocation.empty()) flags |= kHasIconLocation;

  std::string out;
  put32(&out, kHeaderSize);
  out.append(reinterpret_cast<const char *>(kLinkClsid), sizeof kLinkClsid);
  put32(&out, flags);
  put32(&out, target.exists ? (target.directory ? kAttributeDirectory : kAttributeArchive) : 0);
  put64(&out, target.exists ? target.creationTime : 0);
  put64(&out, target.exists ? target.accessTime : 0);
  put64(&out, target.exists ? target.writeTime : 0);
  put32(&out, target.exists && !target.directory ? static_cast<uint32_t>(target.size) : 0);
  put32(&out, static_cast<uint32_t>(fields.iconIndex));
  put32(&out, kShowNormal);
  put16(&out, 0);  // no hot key
  put16(&out, 0);
  put32(&out, 0);
  put32(&out, 0);

  if (flags & kHasLinkInfo) out += linkInfo(fields.targetPath);

  // The string data, in the order the format fixes.
  const std::string *strings[] = {&fields.description, &fields.relativePath, &fields.workingDirectory,
                                  &fields.arguments, &fields.iconLocation};
  for (const std::string *text : strings) {
    if (!text->empty() && !putCountedString(&out, *text)) return false;
  }

  put32(&out, 0);  // terminal block: no extra data
  *file = std::move(out);
  return true;
}

}  // namespace shell_link_format
