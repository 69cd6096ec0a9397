// The Windows platform layer under Wine: the module path, UTF-8 through the
// shell's real link object, the HID queries for a device that is not there,
// and the debugger break that must not end a process with no debugger.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

std::wstring wide(const char16_t *text) { return std::wstring(reinterpret_cast<const wchar_t *>(text)); }

TEST(PlatformWin32, ModulePathNamesThisProgramOrNothing) {
  char path[261];
  size_t length = platform::modulePath(path, sizeof path);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(path).substr(length - 23), "platform_win32_test.exe");
  char small[8];
  EXPECT_EQ(platform::modulePath(small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
}

TEST(PlatformWin32, LinkPathsAreWidenedFromUtf8) {
  char16_t path[platform::kWideLinkPathUnits];
  EXPECT_EQ(platform::widenLinkPath("C:\\Users\\J\xc3\xbcrgen\\\xe4\xb8\xad.lnk", path, platform::kWideLinkPathUnits), 22u);
  EXPECT_EQ(wide(path), L"C:\\Users\\J\u00fcrgen\\\u4e2d.lnk");
  EXPECT_EQ(platform::widenLinkPath("bad \xc3", path, platform::kWideLinkPathUnits), 0u);
  EXPECT_EQ(platform::widenLinkPath(std::string(260, 'x').c_str(), path, platform::kWideLinkPathUnits), 0u);
}

// Saves a link through the platform layer in the order CreateLink uses, then
// loads it with a fresh link object and reads every field back.
TEST(PlatformWin32, NonAsciiTextsReachTheLinkObjectIntact) {
  const char *target = "C:\\Programme\\Gr\xc3\xbc\xc3\x9f" "e\\tov.exe";
  const char *description = "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac \xe4\xb8\xad\xe6\x96\x87";
  const char *directory = "C:\\Programme\\Gr\xc3\xbc\xc3\x9f" "e";
  const char *icon = "C:\\Programme\\\xc3\xb8.ico";
  const char *arguments = "\xc3\xa4 -\xc3\xb6 \xe6\x97\xa5\xe6\x9c\xac";
  char temporary[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temporary, temporary), 0u);
  std::string linkPath = std::string(temporary) + "fieldwish \xc3\xa9\xe4\xb8\xad.lnk";

  platform::initialiseShellLinks();
  platform::ShellLink *link = platform::createShellLink();
  ASSERT_NE(link, nullptr);
  platform::setShellLinkPath(link, target);
  platform::setShellLinkDescription(link, description);
  platform::setShellLinkWorkingDirectory(link, directory);
  platform::setShellLinkIconLocation(link, icon, 7);
  platform::setShellLinkArguments(link, arguments);
  platform::ShellLinkFile *file = platform::shellLinkFile(link);
  ASSERT_NE(file, nullptr);
  char16_t widePath[platform::kWideLinkPathUnits];
  ASSERT_GT(platform::widenLinkPath(linkPath.c_str(), widePath, platform::kWideLinkPathUnits), 0u);
  std::string reason;
  EXPECT_TRUE(platform::saveShellLink(file, widePath, &reason)) << reason;
  platform::releaseShellLinkFile(file);
  platform::releaseShellLink(link);

  IShellLinkW *reader = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void **>(&reader))));
  IPersistFile *persist = nullptr;
  ASSERT_TRUE(SUCCEEDED(reader->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist))));
  ASSERT_TRUE(SUCCEEDED(persist->Load(reinterpret_cast<const wchar_t *>(widePath), STGM_READ)));
  wchar_t text[MAX_PATH];
  int index = -1;
  EXPECT_TRUE(SUCCEEDED(reader->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)));
  EXPECT_EQ(std::wstring(text), L"C:\\Programme\\Gr\u00fc\u00dfe\\tov.exe");
  EXPECT_TRUE(SUCCEEDED(reader->GetDescription(text, MAX_PATH)));
  EXPECT_EQ(std::wstring(text), L"Gr\u00f6\u00dfe \u20ac \u4e2d\u6587");
  EXPECT_TRUE(SUCCEEDED(reader->GetWorkingDirectory(text, MAX_PATH)));
  EXPECT_EQ(std::wstring(text), L"C:\\Programme\\Gr\u00fc\u00dfe");
  EXPECT_TRUE(SUCCEEDED(reader->GetIconLocation(text, MAX_PATH, &index)));
  EXPECT_EQ(std::wstring(text), L"C:\\Programme\\\u00f8.ico");
  EXPECT_EQ(index, 7);
  EXPECT_TRUE(SUCCEEDED(reader->GetArguments(text, MAX_PATH)));
  EXPECT_EQ(std::wstring(text), L"\u00e4 -\u00f6 \u65e5\u672c");
  persist->Release();
  reader->Release();
  platform::uninitialiseShellLinks();
  DeleteFileW(reinterpret_cast<const wchar_t *>(widePath));
}

TEST(PlatformWin32, HidQueriesForADeviceThatIsNotThere) {
  const char *missing = "\\\\?\\hid#vid_04d8&pid_003f#0&fieldwish&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  EXPECT_EQ(platform::hidDeviceState(missing), platform::HidDeviceState::kGone);
  EXPECT_EQ(platform::hidOutputReportLength(missing), 0u);
  EXPECT_EQ(platform::hidDeviceState("virtual/instrument"), platform::HidDeviceState::kUnknown);
  EXPECT_EQ(platform::hidDeviceState(nullptr), platform::HidDeviceState::kUnknown);
}

// Without a debugger the break must come back, so that the fatal path can end
// the process with its own status rather than a breakpoint exception.
TEST(PlatformWin32, DebuggerBreakReturnsWithNoDebugger) {
  ASSERT_FALSE(IsDebuggerPresent());
  platform::breakIntoDebugger();
  EXPECT_FALSE(IsDebuggerPresent());
}

}  // namespace
