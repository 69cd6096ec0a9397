// The MS-SHLLINK writer and the POSIX shell-link object: files read back with
// a small reader of our own and with liblnk's lnkinfo.
#include "platform/posix/shell_link_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/platform.h"

namespace {

using shell_link_format::encodeShellLink;
using shell_link_format::LinkFields;
using shell_link_format::TargetFacts;

uint32_t get16(const std::string &b, size_t at) {
  return static_cast<uint8_t>(b.at(at)) | static_cast<uint8_t>(b.at(at + 1)) << 8;
}
uint32_t get32(const std::string &b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

// What our own reader finds in a link file.
struct ReadLink {
  uint32_t flags = 0, attributes = 0, fileSize = 0, showCommand = 0;
  int32_t iconIndex = 0;
  std::string clsid, localPath, localPathUnicode;
  std::vector<std::u16string> strings;
  size_t end = 0;
};

ReadLink readLink(const std::string &b) {
  ReadLink r;
  EXPECT_EQ(get32(b, 0), 0x4Cu);
  r.clsid = b.substr(4, 16);
  r.flags = get32(b, 0x14);
  r.attributes = get32(b, 0x18);
  r.fileSize = get32(b, 0x34);
  r.iconIndex = static_cast<int32_t>(get32(b, 0x38));
  r.showCommand = get32(b, 0x3C);
  size_t at = 0x4C;
  if (r.flags & shell_link_format::kHasLinkInfo) {
    uint32_t size = get32(b, at), headerSize = get32(b, at + 4);
    EXPECT_EQ(get32(b, at + 8), 1u);  // volume ID and local base path
    r.localPath = std::string(b.c_str() + at + get32(b, at + 16));
    if (headerSize >= 0x24) {
      for (size_t p = at + get32(b, at + 28); get16(b, p) != 0; p += 2) {
        r.localPathUnicode.push_back(static_cast<char>(get16(b, p)));  // low bytes suffice for the checks
      }
    }
    at += size;
  }
  for (uint32_t bit : {shell_link_format::kHasName, shell_link_format::kHasRelativePath,
                       shell_link_format::kHasWorkingDir, shell_link_format::kHasArguments,
                       shell_link_format::kHasIconLocation}) {
    if (!(r.flags & bit)) {
      r.strings.emplace_back();
      continue;
    }
    uint32_t count = get16(b, at);
    std::u16string text;
    for (uint32_t i = 0; i < count; ++i) text.push_back(static_cast<char16_t>(get16(b, at + 2 + 2 * i)));
    r.strings.push_back(text);
    at += 2 + 2 * count;
  }
  EXPECT_EQ(get32(b, at), 0u);  // terminal block
  r.end = at + 4;
  return r;
}

// lnkinfo's "name : value" lines.
std::map<std::string, std::string> lnkinfo(const std::string &path) {
  std::map<std::string, std::string> fields;
  FILE *pipe = popen(("lnkinfo '" + path + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return fields;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    size_t colon = text.find(':');
    if (colon == std::string::npos) continue;
    auto trim = [](std::string s) {
      size_t b = s.find_first_not_of(" \t\n"), e = s.find_last_not_of(" \t\n");
      return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    fields[trim(text.substr(0, colon))] = trim(text.substr(colon + 1));
  }
  pclose(pipe);
  return fields;
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/shell-link-test.XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string &path() const { return path_; }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR *dir = opendir(path_.c_str())) {
      while (dirent *e = readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
    }
    return names;
  }

 private:
  std::string path_;
};

std::string writeFile(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

LinkFields sampleFields() {
  LinkFields f;
  f.targetPath = "C:\\Program Files\\Tov\\tov.exe";
  f.description = "Tov dashboard";
  f.workingDirectory = "C:\\Program Files\\Tov";
  f.arguments = "auto -x";
  f.iconLocation = "C:\\Program Files\\Tov\\tov.ico";
  f.iconIndex = 2;
  return f;
}

TEST(ShellLinkFormatTest, HeaderCarriesClsidFlagsAndIconIndex) {
  std::string file;
  ASSERT_TRUE(encodeShellLink(sampleFields(), TargetFacts(), &file));
  ReadLink r = readLink(file);
  EXPECT_EQ(r.clsid, std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
  EXPECT_EQ(r.flags, 0x02u | 0x04u | 0x10u | 0x20u | 0x40u | 0x80u);
  EXPECT_EQ(r.iconIndex, 2);
  EXPECT_EQ(r.showCommand, 1u);
  EXPECT_EQ(r.attributes, 0u);
  EXPECT_EQ(r.localPathUnicode, "");  // ASCII: no UTF-16 copy
  EXPECT_EQ(r.strings.at(1), u"");      // no relative path for a Windows target from nowhere
  EXPECT_EQ(r.end, file.size());        // the field values are read back by lnkinfo below
}

TEST(ShellLinkFormatTest, EmptyFieldsAreLeftOut) {
  LinkFields empty;
  empty.iconIndex = -1;
  std::string file;
  ASSERT_TRUE(encodeShellLink(empty, TargetFacts(), &file));
  ReadLink r = readLink(file);
  EXPECT_EQ(r.flags, shell_link_format::kIsUnicode);
  EXPECT_EQ(r.iconIndex, -1);
  EXPECT_EQ(file.size(), 0x4Cu + 4);
}

TEST(ShellLinkFormatTest, ExistingTargetsGiveAttributesAndSize) {
  TargetFacts facts;
  facts.exists = true;
  facts.size = 1234;
  facts.writeTime = shell_link_format::fileTimeFromPosix(0, 0);
  std::string file;
  ASSERT_TRUE(encodeShellLink(sampleFields(), facts, &file));
  ReadLink r = readLink(file);
  EXPECT_EQ(r.attributes, shell_link_format::kAttributeArchive);
  EXPECT_EQ(r.fileSize, 1234u);
  EXPECT_EQ(static_cast<uint64_t>(get32(file, 0x2C)) | static_cast<uint64_t>(get32(file, 0x30)) << 32,
            116444736000000000ull);  // 1970-01-01 as FILETIME
  facts.directory = true;
  ASSERT_TRUE(encodeShellLink(sampleFields(), facts, &file));
  EXPECT_EQ(readLink(file).attributes, shell_link_format::kAttributeDirectory);
  EXPECT_EQ(readLink(file).fileSize, 0u);
}

// Times past the last FILETIME Windows reads (0x7FFFFFFFFFFFFFFF, in the
// year 30828) are clamped to it; file systems such as tmpfs take any 64-bit
// second count ("touch -d @9223372036854775000").
TEST(ShellLinkFormatTest, FarFutureTimesAreClamped) {
  using shell_link_format::fileTimeFromPosix;
  const uint64_t latest = 0x7FFFFFFFFFFFFFFFull;
  EXPECT_EQ(fileTimeFromPosix(910692730085, 0), 9223372036850000000ull);  // the last whole second that fits
  EXPECT_EQ(fileTimeFromPosix(910692730085, 999999999), latest);
  EXPECT_EQ(fileTimeFromPosix(9223372036854775000, 0), latest);
  EXPECT_EQ(fileTimeFromPosix(INT64_MAX, 999999999), latest);
  EXPECT_EQ(fileTimeFromPosix(INT64_MIN, 0), 0u);
}

TEST(ShellLinkFormatTest, TooLongStringsAreRefused) {
  LinkFields f;
  f.arguments.assign(shell_link_format::kMaxStringUnits + 1, 'a');
  std::string file = "unchanged";
  EXPECT_FALSE(encodeShellLink(f, TargetFacts(), &file));
  EXPECT_EQ(file, "unchanged");
  f.arguments.pop_back();
  EXPECT_TRUE(encodeShellLink(f, TargetFacts(), &file));
}

// Characters outside the BMP are left out: lnkinfo 20181227 misreads surrogate pairs.
TEST(ShellLinkFormatTest, LnkinfoReadsBackEveryField) {
  TempDir dir;
  const struct {
    const char *name;
    LinkFields fields;
  } cases[] = {
      {"ascii.lnk", sampleFields()},
      {"utf8.lnk",
       {"/opt/gr\xc3\xbc\xc3\x9f/\xe2\x82\xac.exe", "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac", "",
        "/home/\xc3\xa5sa", "\xc3\xa4 \xc3\xb6 \xe4\xb8\xad", "/usr/share/\xc3\xb8.ico", 7}},
  };
  for (const auto &c : cases) {
    std::string file;
    ASSERT_TRUE(encodeShellLink(c.fields, TargetFacts(), &file));
    std::map<std::string, std::string> info = lnkinfo(writeFile(dir.path() + "/" + c.name, file));
    EXPECT_EQ(info["Local path"], c.fields.targetPath) << c.name;
    EXPECT_EQ(info["Description"], c.fields.description) << c.name;
    EXPECT_EQ(info["Working directory"], c.fields.workingDirectory) << c.name;
    EXPECT_EQ(info["Command line arguments"], c.fields.arguments) << c.name;
    EXPECT_EQ(info["Icon location"], c.fields.iconLocation) << c.name;
    EXPECT_EQ(info["Icon index"], std::to_string(c.fields.iconIndex)) << c.name;
  }
}

TEST(ShellLinkFormatTest, Utf8Conversions) {
  std::u16string wide;
  ASSERT_TRUE(shell_link_format::utf8ToUtf16("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", &wide));
  EXPECT_EQ(wide, u"a\u00e9\u20ac\U0001F600");
  EXPECT_EQ(shell_link_format::utf16ToUtf8(wide.c_str()), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
  for (const char *bad : {"\xc0\x80", "\xe2\x82", "\x80", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xff"}) {
    EXPECT_FALSE(shell_link_format::utf8ToUtf16(bad, &wide)) << bad;
  }
  EXPECT_EQ(shell_link_format::utf8ToUtf16Lenient("a\xc0\x80z"), u"a\ufffd\ufffdz");
  const char16_t lone[] = {u'x', 0xD800, u'y', 0};
  EXPECT_EQ(shell_link_format::utf16ToUtf8(lone), "x\xef\xbf\xbdy");
}

// Readers that take the narrow path (Wine's link object does) read it in
// code page 1252: tests/tcl/link_readers.test reads such links through Wine.
TEST(ShellLinkFormatTest, NarrowLocalPathIsWindows1252) {
  LinkFields f;
  f.targetPath = "C:\\\xc3\x9c" "berwachung\\\xe2\x82\xac \xc5\xa0 \xe4\xb8\xad\xf0\x9f\x98\x80.exe";
  std::string file;
  ASSERT_TRUE(encodeShellLink(f, TargetFacts(), &file));
  EXPECT_EQ(readLink(file).localPath, "C:\\\xdc" "berwachung\\\x80 \x8a ??.exe");
  EXPECT_EQ(shell_link_format::utf8ToWindows1252("\xc2\x81\xc2\x80\xc3\xbf\xff"), "\x81?\xff?");
}

TEST(ShellLinkFormatTest, RelativeTargetPaths) {
  const struct {
    const char *link, *target, *relative;
  } cases[] = {
      {"/home/u/Desktop/tov.lnk", "/home/u/Desktop/tov", "./tov"},
      {"/home/u/Desktop/tov.lnk", "/opt/tov/bin/tov", "../../../opt/tov/bin/tov"},
      {"/home/u/Desktop/tov.lnk", "/home/u/bin/tov", "../bin/tov"},
      {"/a/./b//c.lnk", "/a/b/x", "./x"},
      {"C:\\Users\\u\\Desktop\\t.lnk", "c:\\Program Files\\t.exe", "..\\..\\..\\Program Files\\t.exe"},
      {"C:\\Users\\t.lnk", "C:/Users/t.exe", ".\\t.exe"},
      {"C:\\Users\\t.lnk", "D:\\t.exe", ""},
      {"/home/t.lnk", "t.exe", ""},
      {"/home/t.lnk", "/home/../t.exe", ""},
      {"/home/t.lnk", "", ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(shell_link_format::relativeTargetPath(c.link, c.target), c.relative) << c.link << " -> " << c.target;
  }
}

// The POSIX link writer behind platform.h.
class ShellLinkObjectTest : public ::testing::Test {
 protected:
  // Writes a link to target at linkPath; answers whether it was written.
  bool save(const std::string &linkPath, const std::string &target, std::string *reason) {
    return step(linkPath, target, reason) == platform::ShellLinkStep::kWritten;
  }
  platform::ShellLinkStep step(const std::string &linkPath, const std::string &target, std::string *reason) {
    const platform::ShellLinkFields fields = {target.c_str(), "d", "", "", 0, ""};
    return platform::writeShellLink(fields, linkPath.c_str(), reason);
  }
  TempDir dir_;
};

// A Windows link path holds at most 259 UTF-16 units and its zero.
TEST_F(ShellLinkObjectTest, LinkPathsNeedAWideFormThatFits) {
  std::string reason;
  const std::string directory = dir_.path() + "/";
  ASSERT_LT(directory.size(), 259u - 4);
  const std::string longest = directory + std::string(259 - directory.size() - 4, 'x') + ".lnk";
  EXPECT_EQ(step(longest, "/bin/sh", &reason), platform::ShellLinkStep::kWritten) << reason;
  EXPECT_EQ(step(longest + "x", "/bin/sh", &reason), platform::ShellLinkStep::kPathNotWide);
  EXPECT_EQ(step(directory + "a\xc0\x80.lnk", "/bin/sh", &reason), platform::ShellLinkStep::kPathNotWide);
  EXPECT_EQ(dir_.entries().size(), 1u);
}

TEST_F(ShellLinkObjectTest, SaveWritesTheFileAndNothingElse) {
  std::string reason;
  const std::string path = dir_.path() + "/t\xc3\xa9.lnk";
  ASSERT_TRUE(save(path, "/bin/sh", &reason)) << reason;
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"t\xc3\xa9.lnk"});
  EXPECT_EQ(readLink(readFile(path)).attributes, shell_link_format::kAttributeArchive);  // /bin/sh exists
  std::map<std::string, std::string> info = lnkinfo(path);
  EXPECT_EQ(info["Local path"], "/bin/sh");
  EXPECT_EQ(info["Relative path"], "../../bin/sh");  // from /tmp/shell-link-test.XXXXXX/
  EXPECT_EQ(info["Description"], "d");
}

TEST_F(ShellLinkObjectTest, SaveReplacesAnEarlierLink) {
  std::string reason;
  const std::string path = dir_.path() + "/t.lnk";
  writeFile(path, "old");
  ASSERT_TRUE(save(path, "/new/target", &reason)) << reason;
  EXPECT_EQ(readLink(readFile(path)).localPath, "/new/target");
  EXPECT_EQ(dir_.entries().size(), 1u);
}

TEST_F(ShellLinkObjectTest, FailedSavesLeaveNothingBehind) {
  std::string reason;
  EXPECT_FALSE(save(dir_.path() + "/missing/t.lnk", "/bin/sh", &reason));
  EXPECT_EQ(reason, "cannot create a temporary file beside it: No such file or directory");
  EXPECT_TRUE(dir_.entries().empty());

  // A directory in the way: the temporary file is made, then removed again.
  const std::string blocked = dir_.path() + "/blocked.lnk";
  ASSERT_EQ(mkdir(blocked.c_str(), 0755), 0);
  reason.clear();
  EXPECT_FALSE(save(blocked, "/bin/sh", &reason));
  EXPECT_EQ(reason.rfind("cannot move the file into place: ", 0), 0u) << reason;
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"blocked.lnk"});

  reason.clear();
  EXPECT_FALSE(save("", "/bin/sh", &reason));
  EXPECT_EQ(reason, "the link path is empty");
}

}  // namespace
