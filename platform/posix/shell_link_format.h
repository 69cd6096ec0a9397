// The MS-SHLLINK file that the Windows shell writes for a link object, made
// from the values set on it: header (link CLSID, LinkFlags, the target's
// attributes, times and size when it exists, icon index, show command),
// LinkInfo naming the target as a local path (in Windows-1252, and in UTF-16
// too when it is not ASCII), the string data in UTF-16 and
// an empty extra-data section. Pure: no file system, no OS calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace shell_link_format {

// What the file system knows of the link's target when it exists.
struct TargetFacts {
  bool exists = false;
  bool directory = false;
  uint64_t size = 0;
  // FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC.
  uint64_t creationTime = 0;
  uint64_t accessTime = 0;
  uint64_t writeTime = 0;
};

// The values of a link, as narrow texts in UTF-8.
struct LinkFields {
  std::string targetPath;
  std::string description;
  std::string relativePath;
  std::string workingDirectory;
  std::string arguments;
  std::string iconLocation;
  int32_t iconIndex = 0;
};

// LinkFlags bits and header constants of the format.
const uint32_t kHasLinkInfo = 0x00000002;
const uint32_t kHasName = 0x00000004;
const uint32_t kHasRelativePath = 0x00000008;
const uint32_t kHasWorkingDir = 0x00000010;
const uint32_t kHasArguments = 0x00000020;
const uint32_t kHasIconLocation = 0x00000040;
const uint32_t kIsUnicode = 0x00000080;
const uint32_t kHeaderSize = 0x4C;
const uint32_t kShowNormal = 1;
const uint32_t kAttributeDirectory = 0x10;
const uint32_t kAttributeArchive = 0x20;
// A string of the string data section holds at most this many UTF-16 units.
const size_t kMaxStringUnits = 0xFFFF;

// The bytes of the link file. Returns false (file untouched) when a text
// does not fit its field.
bool encodeShellLink(const LinkFields &fields, const TargetFacts &target, std::string *file);

// UTF-8 to UTF-16. The strict form refuses malformed, overlong and surrogate
// sequences; the lenient one puts U+FFFD for each byte it cannot read.
bool utf8ToUtf16(const std::string &text, std::u16string *wide);
std::u16string utf8ToUtf16Lenient(const std::string &text);
// UTF-8 to Windows-1252 (the ANSI code page of Western Windows systems), with
// '?' for each character the code page does not hold (and for malformed bytes).
std::string utf8ToWindows1252(const std::string &text);
// UTF-16 (up to its first zero unit) to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const char16_t *wide);

// The path of target relative to the directory of the link file, as the
// shell stores it beside the target ("./name", "../dir/name"), or empty when
// the two are not absolute paths of the same root. Both are plain POSIX
// paths ('/') or both drive paths ("C:\..." or "C:/..."); "." components are
// dropped and a path with ".." gets no relative form.
std::string relativeTargetPath(const std::string &linkPath, const std::string &targetPath);

// FILETIME for a POSIX time (nanoseconds from 0 to 999,999,999). Times
// before 1601 give 0; times past 0x7FFFFFFFFFFFFFFF, the last FILETIME
// Windows turns into a date, give that value.
uint64_t fileTimeFromPosix(int64_t seconds, int64_t nanoseconds);

}  // namespace shell_link_format
