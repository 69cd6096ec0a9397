// CreateLink and WriteShellLink against a recording shell-link object: the
// platform's operations are defined here, so the POSIX object is not linked
// in, and every call is logged with the values it was given.
#include <gtest/gtest.h>
#include <tcl.h>

#include <string>
#include <vector>

#include "desktop/desktop_commands.h"
#include "desktop/write_shell_link.h"
#include "platform/platform.h"

namespace {

std::vector<std::string> calls;
bool createFails = false;
bool hasPersistFile = true;
bool widenFails = false;
const char *saveFailure = nullptr;

std::string narrow(const char16_t *wide) {
  std::string out;
  for (; *wide != 0; ++wide) out.push_back(static_cast<char>(*wide));
  return out;
}

}  // namespace

namespace platform {

struct ShellLink {
  int references;
};
struct ShellLinkFile {
  ShellLink *link;
};

void initialiseShellLinks() { calls.push_back("initialise"); }
void uninitialiseShellLinks() { calls.push_back("uninitialise"); }
ShellLink *createShellLink() {
  calls.push_back("create");
  return createFails ? nullptr : new ShellLink{1};
}
void setShellLinkPath(ShellLink *, const char *path) { calls.push_back(std::string("path ") + path); }
void setShellLinkDescription(ShellLink *, const char *text) { calls.push_back(std::string("description ") + text); }
void setShellLinkWorkingDirectory(ShellLink *, const char *text) {
  calls.push_back(std::string("workingDirectory ") + text);
}
void setShellLinkIconLocation(ShellLink *, const char *path, int index) {
  calls.push_back(std::string("icon ") + path + " " + std::to_string(index));
}
void setShellLinkArguments(ShellLink *, const char *text) { calls.push_back(std::string("arguments ") + text); }
ShellLinkFile *shellLinkFile(ShellLink *link) {
  calls.push_back("persistFile");
  if (!hasPersistFile) return nullptr;
  ++link->references;
  return new ShellLinkFile{link};
}
size_t widenLinkPath(const char *path, char16_t *wide, size_t units) {
  calls.push_back(std::string("widen ") + path);
  size_t n = 0;
  for (; path[n] != 0; ++n) {
    if (n + 1 >= units) return 0;
    wide[n] = static_cast<unsigned char>(path[n]);
  }
  wide[n] = 0;
  return widenFails ? 0 : n + 1;
}
bool saveShellLink(ShellLinkFile *, const char16_t *widePath, std::string *reason) {
  calls.push_back("save " + narrow(widePath));
  if (saveFailure != nullptr) *reason = saveFailure;
  return saveFailure == nullptr;
}
void releaseShellLinkFile(ShellLinkFile *file) {
  calls.push_back("releaseFile");
  --file->link->references;
  delete file;
}
void releaseShellLink(ShellLink *link) {
  calls.push_back("releaseLink " + std::to_string(link->references - 1));
  delete link;
}

}  // namespace platform

namespace {

using Calls = std::vector<std::string>;

class CreateLinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Tcl_FindExecutable(nullptr); }

  CreateLinkTest() : interp_(Tcl_CreateInterp()) {
    Tcl_CreateObjCommand(interp_, "CreateLink", CreateLink, nullptr, nullptr);
    calls.clear();
    createFails = widenFails = false;
    hasPersistFile = true;
    saveFailure = nullptr;
  }
  ~CreateLinkTest() override { Tcl_DeleteInterp(interp_); }

  // Runs a script; returns its code, with its result and standard output.
  int run(const std::string &script) {
    testing::internal::CaptureStdout();
    int code = Tcl_EvalEx(interp_, script.c_str(), -1, 0);
    output_ = testing::internal::GetCapturedStdout();
    result_ = Tcl_GetStringResult(interp_);
    return code;
  }

  // The calls of a whole run that wrote /l.lnk.
  static Calls wholeRun(const std::string &target, const std::string &description, const std::string &directory,
                        const std::string &icon, const std::string &arguments) {
    return {"initialise",
            "create",
            "path " + target,
            "description " + description,
            "workingDirectory " + directory,
            "icon " + icon,
            "arguments " + arguments,
            "persistFile",
            "widen /l.lnk",
            "save /l.lnk",
            "releaseFile",
            "releaseLink 0",
            "uninitialise"};
  }

  Tcl_Interp *interp_;
  std::string result_;
  std::string output_;
};

TEST_F(CreateLinkTest, CallsThePlatformInItsOrderWithEveryValue) {
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t/x.exe -description {A B} -workingDirectory /t "
                "-icon /t/x.ico 5 -arguments {-v 2}"),
            TCL_OK);
  EXPECT_EQ(calls, wholeRun("/t/x.exe", "A B", "/t", "/t/x.ico 5", "-v 2"));
  EXPECT_EQ(output_, "created link /t/x.exe\n");
  EXPECT_EQ(result_, "");
}

TEST_F(CreateLinkTest, OnlyALinkPathSetsEveryFieldEmpty) {
  ASSERT_EQ(run("CreateLink /l.lnk"), TCL_OK);
  EXPECT_EQ(calls, wholeRun("", "", "", " 0", ""));
  EXPECT_EQ(output_, "created link \n");
  EXPECT_EQ(result_, "");
}

// Prefixes, repeats and option-like values are read back with lnkinfo in
// tests/tcl/create_link.test; here, the integer forms of the icon index.
TEST_F(CreateLinkTest, IconIndexesInEveryIntegerFormKeepTheirLow32Bits) {
  const struct {
    const char *word, *index;
  } cases[] = {{"0x10", "16"}, {"-2147483648", "-2147483648"}, {"0xffffffff", "-1"}, {"4294967298", "2"},
               {"0xffffffffffffffff", "-1"}};
  for (const auto &c : cases) {
    calls.clear();
    ASSERT_EQ(run(std::string("CreateLink /l.lnk -icon /x.ico ") + c.word), TCL_OK) << result_;
    EXPECT_EQ(calls.at(5), std::string("icon /x.ico ") + c.index) << c.word;
  }
}

TEST_F(CreateLinkTest, NoLinkObjectMeansNothingSetSavedOrPrinted) {
  createFails = true;
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t"), TCL_OK);
  EXPECT_EQ(calls, (Calls{"initialise", "create", "uninitialise"}));
  EXPECT_EQ(output_, "");
  EXPECT_EQ(result_, "");
}

TEST_F(CreateLinkTest, AFailedSaveIsReportedAsNotWritten) {
  saveFailure = "disk full";
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t"), TCL_OK);
  EXPECT_EQ(calls, wholeRun("/t", "", "", " 0", ""));
  EXPECT_EQ(output_, "link /l.lnk was not written: disk full\n");
  EXPECT_EQ(result_, "");
}

TEST_F(CreateLinkTest, AMissingPersistenceInterfaceIsReportedAsNotWritten) {
  hasPersistFile = false;
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t"), TCL_OK);
  EXPECT_EQ(calls, (Calls{"initialise", "create", "path /t", "description ", "workingDirectory ",
                          "icon  0", "arguments ", "persistFile", "releaseLink 0", "uninitialise"}));
  EXPECT_EQ(output_, "link /l.lnk was not written: the link object cannot be saved to a file\n");
  EXPECT_EQ(result_, "");
}

TEST_F(CreateLinkTest, WordErrorsComeLeftToRightAndWriteNothing) {
  const std::string long200(200, 'x');
  // The texts themselves are checked at script level; here, that nothing reaches the link object.
  const struct {
    std::string script, message;
  } cases[] = {
      {"CreateLink", "wrong # args: should be \"CreateLink linkPath ?options?\""},
      {"CreateLink /l.lnk -icon /x.ico", "Icon path must be followed by a numerical icon index (starting at 0)"},
      {"CreateLink /l.lnk -icon /x.ico one", "expected integer but got \"one\""},
      {"CreateLink /l.lnk -icon /x.ico 0x10000000000000000", "integer value too large to represent"},
      {"CreateLink /l.lnk -o /t -d D -icon /x.ico 1 -x y",
       "bad option \"-x\": must be -objectPath, -description, -workingDirectory, -icon, or -arguments"},
      {"CreateLink /l.lnk -o /t -d D -a", "\"-arguments\" option must be followed by an argument string"},
      {"CreateLink " + long200, "link path is too long: 200 bytes, at most 199"},
      {"CreateLink /l.lnk -d " + long200 + " -x", "value of \"-description\" is too long: 200 bytes, at most 199"},
  };
  for (const auto &c : cases) {
    calls.clear();
    EXPECT_EQ(run(c.script), TCL_ERROR) << c.script;
    EXPECT_EQ(result_, c.message) << c.script;
    EXPECT_EQ(output_, "") << c.script;
    EXPECT_TRUE(calls.empty()) << c.script;
  }
}

TEST_F(CreateLinkTest, FieldsTakeExactly199Bytes) {
  const std::string long199(199, 'y');
  ASSERT_EQ(run("CreateLink /l.lnk -o " + long199 + " -a " + long199), TCL_OK) << result_;
  EXPECT_EQ(calls.at(2), "path " + long199);
  EXPECT_EQ(calls.at(6), "arguments " + long199);
}

// A path the platform cannot convert is a failure of the platform, not of a word.
TEST_F(CreateLinkTest, ALinkPathWithNoWideFormIsReportedAsNotWritten) {
  widenFails = true;
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t"), TCL_OK);
  EXPECT_EQ(calls, (Calls{"initialise", "create", "path /t", "description ", "workingDirectory ", "icon  0",
                          "arguments ", "persistFile", "widen /l.lnk", "releaseFile", "releaseLink 0",
                          "uninitialise"}));
  EXPECT_EQ(output_, "link /l.lnk was not written: the path cannot be converted to UTF-16\n");
  EXPECT_EQ(result_, "");
}

}  // namespace
