// The Windows platform layer under Wine: the module path, the shell link
// writer's COM steps in their order (against a recording link object) and
// UTF-8 through the shell's real link object, the HID queries for a device
// that is not there, and the debugger break that must not end a process with
// no debugger.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/com_calls.h"

namespace {

// ---- A recording link object, in place of the shell's -------------------------------
// While recording is on, the COM calls of the writer (platform/win32/com_calls.h,
// linked from here instead of the platform library) and every call on the
// object are logged in order; otherwise they reach the real COM library.

bool recording = false;
std::vector<std::string> calls;
struct {
  bool createFails, noWideInterface, noFileInterface;
  HRESULT saveResult;
} knobs;

std::string utf8(const wchar_t *text) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(bytes > 0 ? static_cast<size_t>(bytes - 1) : 0, '\0');
  if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
  return out;
}

HRESULT logged(const std::string &call) {
  calls.push_back(call);
  return S_OK;
}
HRESULT unexpected() {
  calls.push_back("unexpected call");
  return E_NOTIMPL;
}

// The object as IShellLinkA, and its two other interfaces as parts of their
// own, so that each Release names the interface it was called on. They share
// the object's one reference count.
class RecordingLink final : public IShellLinkA {
 public:
  RecordingLink() : wide_(this), file_(this) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override {
    *object = nullptr;
    if (IsEqualIID(id, IID_IShellLinkW)) {
      calls.push_back("QueryInterface IShellLinkW");
      if (!knobs.noWideInterface) *object = &wide_;
    } else if (IsEqualIID(id, IID_IPersistFile)) {
      calls.push_back("QueryInterface IPersistFile");
      if (!knobs.noFileInterface) *object = &file_;
    } else {
      calls.push_back("QueryInterface other");
    }
    if (*object == nullptr) return E_NOINTERFACE;
    ++references_;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return release("IShellLinkA"); }
  ULONG release(const char *face) {
    ULONG left = --references_;
    calls.push_back(std::string("Release ") + face + " " + std::to_string(left));
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE SetPath(LPCSTR text) override { return logged(std::string("A SetPath ") + text); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCSTR text) override {
    return logged(std::string("A SetDescription ") + text);
  }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCSTR text) override {
    return logged(std::string("A SetWorkingDirectory ") + text);
  }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCSTR text, int index) override {
    return logged(std::string("A SetIconLocation ") + text + " " + std::to_string(index));
  }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCSTR text) override { return logged(std::string("A SetArguments ") + text); }
  // Nothing else is the writer's to call.
  HRESULT STDMETHODCALLTYPE GetPath(LPSTR, int, WIN32_FIND_DATAA *, DWORD) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE *) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetDescription(LPSTR, int) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPSTR, int) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetArguments(LPSTR, int) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD *) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int *) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPSTR, int, int *) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCSTR, DWORD) override { return unexpected(); }
  HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return unexpected(); }

 private:
  class Wide : public IShellLinkW {
   public:
    explicit Wide(RecordingLink *link) : link_(link) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override {
      return link_->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return link_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return link_->release("IShellLinkW"); }
    HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR text) override { return logged("W SetPath " + utf8(text)); }
    HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR text) override {
      return logged("W SetDescription " + utf8(text));
    }
    HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR text) override {
      return logged("W SetWorkingDirectory " + utf8(text));
    }
    HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR text, int index) override {
      return logged("W SetIconLocation " + utf8(text) + " " + std::to_string(index));
    }
    HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR text) override { return logged("W SetArguments " + utf8(text)); }
    HRESULT STDMETHODCALLTYPE GetPath(LPWSTR, int, WIN32_FIND_DATAW *, DWORD) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE *) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR, int) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR, int) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR, int) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetHotkey(WORD *) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetShowCmd(int *) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR, int, int *) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR, DWORD) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return unexpected(); }

   private:
    RecordingLink *link_;
  };

  class File : public IPersistFile {
   public:
    explicit File(RecordingLink *link) : link_(link) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override {
      return link_->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return link_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return link_->release("IPersistFile"); }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR path, WINBOOL remember) override {
      logged("Save " + utf8(path) + " " + std::to_string(remember));
      return knobs.saveResult;
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return unexpected(); }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR *) override { return unexpected(); }

   private:
    RecordingLink *link_;
  };

  ~RecordingLink() = default;
  Wide wide_;
  File file_;
  ULONG references_ = 1;
};

}  // namespace

namespace platform {
namespace com {

void initialise() {
  if (recording) calls.push_back("CoInitialize");
  CoInitialize(nullptr);
}

HRESULT createShellLink(IShellLinkA **link) {
  if (!recording) {
    return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            reinterpret_cast<void **>(link));
  }
  calls.push_back("CoCreateInstance");
  if (knobs.createFails) return REGDB_E_CLASSNOTREG;
  *link = new RecordingLink;
  return S_OK;
}

void uninitialise() {
  if (recording) calls.push_back("CoUninitialize");
  CoUninitialize();
}

}  // namespace com
}  // namespace platform

namespace {

using Calls = std::vector<std::string>;
using platform::ShellLinkStep;

class ShellLinkSteps : public ::testing::Test {
 protected:
  ShellLinkSteps() {
    recording = true;
    calls.clear();
    knobs = {false, false, false, S_OK};
  }
  ~ShellLinkSteps() override { recording = false; }

  ShellLinkStep write(const char *linkPath) {
    const platform::ShellLinkFields fields = {"C:\\Gr\xc3\xbc\xc3\x9f" "e\\t.exe", "\xe4\xb8\xad", "C:\\", "C:\\t.ico", 7,
                                              "-v"};
    reason_ = "(none)";
    return platform::writeShellLink(fields, linkPath, &reason_);
  }
  // The calls from CoInitialize to the file interface, with the setters of
  // the W- or the A-interface (side "W" or "A").
  static Calls upToFileInterface(const std::string &side) {
    return {"CoInitialize", "CoCreateInstance", "QueryInterface IShellLinkW",
            side + " SetPath C:\\Gr\xc3\xbc\xc3\x9f" "e\\t.exe", side + " SetDescription \xe4\xb8\xad",
            side + " SetWorkingDirectory C:\\", side + " SetIconLocation C:\\t.ico 7", side + " SetArguments -v",
            "QueryInterface IPersistFile"};
  }
  static Calls plus(Calls first, const Calls &then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
  }
  std::string reason_;
};

TEST_F(ShellLinkSteps, InTheirOrderThroughTheWideInterface) {
  EXPECT_EQ(write("C:\\l\xc3\xa9.lnk"), ShellLinkStep::kWritten);
  EXPECT_EQ(calls, plus(upToFileInterface("W"), {"Save C:\\l\xc3\xa9.lnk 1", "Release IPersistFile 2",
                                                  "Release IShellLinkW 1", "Release IShellLinkA 0", "CoUninitialize"}));
}

// Without a W-interface the texts go to the A-interface as they are.
TEST_F(ShellLinkSteps, WithoutAWideInterfaceThroughTheNarrowOne) {
  knobs.noWideInterface = true;
  EXPECT_EQ(write("C:\\l.lnk"), ShellLinkStep::kWritten);
  EXPECT_EQ(calls, plus(upToFileInterface("A"),
                        {"Save C:\\l.lnk 1", "Release IPersistFile 1", "Release IShellLinkA 0", "CoUninitialize"}));
}

// Every failure releases what was obtained and uninitialises COM.
TEST_F(ShellLinkSteps, EachFailedStepIsNamed) {
  knobs.createFails = true;
  EXPECT_EQ(write("C:\\l.lnk"), ShellLinkStep::kNoLinkObject);
  EXPECT_EQ(calls, (Calls{"CoInitialize", "CoCreateInstance", "CoUninitialize"}));

  calls.clear();
  knobs = {false, false, true, S_OK};
  EXPECT_EQ(write("C:\\l.lnk"), ShellLinkStep::kNoFileInterface);
  EXPECT_EQ(calls, plus(upToFileInterface("W"), {"Release IShellLinkW 1", "Release IShellLinkA 0", "CoUninitialize"}));

  const Calls released = {"Release IPersistFile 2", "Release IShellLinkW 1", "Release IShellLinkA 0",
                          "CoUninitialize"};
  knobs = {false, false, false, S_OK};
  for (const char *path : {"C:\\bad \xc3.lnk", "C:\\\xff.lnk"}) {
    calls.clear();
    EXPECT_EQ(write(path), ShellLinkStep::kPathNotWide) << path;
    EXPECT_EQ(calls, plus(upToFileInterface("W"), released)) << path;
  }
  calls.clear();
  EXPECT_EQ(write(std::string(260, 'x').c_str()), ShellLinkStep::kPathNotWide);
  EXPECT_EQ(calls, plus(upToFileInterface("W"), released));

  calls.clear();
  EXPECT_EQ(write(""), ShellLinkStep::kSave);
  EXPECT_EQ(reason_, "the link path is empty");
  EXPECT_EQ(calls, plus(upToFileInterface("W"), released));

  calls.clear();
  knobs.saveResult = E_ACCESSDENIED;
  EXPECT_EQ(write("C:\\l.lnk"), ShellLinkStep::kSave);
  EXPECT_EQ(reason_.rfind("IPersistFile::Save failed (0x80070005)", 0), 0u) << reason_;
  EXPECT_EQ(calls, plus(plus(upToFileInterface("W"), {"Save C:\\l.lnk 1"}), released));
}


TEST(PlatformWin32, ModulePathNamesThisProgramOrNothing) {
  char path[261];
  size_t length = platform::modulePath(path, sizeof path);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(path).substr(length - 23), "platform_win32_test.exe");
  char small[8];
  EXPECT_EQ(platform::modulePath(small, sizeof small), 0u);
  EXPECT_STREQ(small, "");
}

// Saves a link through the platform layer and the shell's real link object,
// then loads it with a fresh link object and reads every field back.
TEST(PlatformWin32, NonAsciiTextsReachTheLinkObjectIntact) {
  const char *target = "C:\\Programme\\Gr\xc3\xbc\xc3\x9f" "e\\tov.exe";
  const char *description = "Gr\xc3\xb6\xc3\x9f" "e \xe2\x82\xac \xe4\xb8\xad\xe6\x96\x87";
  const char *directory = "C:\\Programme\\Gr\xc3\xbc\xc3\x9f" "e";
  const char *icon = "C:\\Programme\\\xc3\xb8.ico";
  const char *arguments = "\xc3\xa4 -\xc3\xb6 \xe6\x97\xa5\xe6\x9c\xac";
  char temporary[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof temporary, temporary), 0u);
  std::string linkPath = std::string(temporary) + "fieldwish \xc3\xa9\xe4\xb8\xad.lnk";
  wchar_t widePath[MAX_PATH];
  ASSERT_GT(MultiByteToWideChar(CP_UTF8, 0, linkPath.c_str(), -1, widePath, MAX_PATH), 0);

  std::string reason;
  const platform::ShellLinkFields fields = {target, description, directory, icon, 7, arguments};
  ASSERT_EQ(platform::writeShellLink(fields, linkPath.c_str(), &reason), platform::ShellLinkStep::kWritten) << reason;

  CoInitialize(nullptr);
  IShellLinkW *reader = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void **>(&reader))));
  IPersistFile *persist = nullptr;
  ASSERT_TRUE(SUCCEEDED(reader->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist))));
  ASSERT_TRUE(SUCCEEDED(persist->Load(widePath, STGM_READ)));
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
  CoUninitialize();
  DeleteFileW(widePath);
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
