// CreateLink and WriteShellLink against a recording stand-in for the
// platform's link call: it is defined here, so the POSIX writer is not
// linked in, and each call is logged with the values it was given. The
// order of the COM steps is the Windows layer's own test
// (tests/win32/platform_win32_test.cpp).
#include <gtest/gtest.h>
#include <tcl.h>

#include <string>
#include <vector>

#include "desktop/desktop_commands.h"
#include "desktop/write_shell_link.h"
#include "platform/platform.h"

namespace {

// Each call of the platform, as "LINK_PATH|target|description|directory|icon|index|arguments".
std::vector<std::string> calls;
platform::ShellLinkStep outcome = platform::ShellLinkStep::kWritten;
const char *saveFailure = "";

}  // namespace

namespace platform {

ShellLinkStep writeShellLink(const ShellLinkFields &fields, const char *linkPath, std::string *reason) {
  calls.push_back(std::string(linkPath) + "|" + fields.targetPath + "|" + fields.description + "|" +
                  fields.workingDirectory + "|" + fields.iconPath + "|" + std::to_string(fields.iconIndex) + "|" +
                  fields.arguments);
  if (outcome == ShellLinkStep::kSave) *reason = saveFailure;
  return outcome;
}

}  // namespace platform

namespace {

using Calls = std::vector<std::string>;
using platform::ShellLinkStep;

class CreateLinkTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Tcl_FindExecutable(nullptr); }

  CreateLinkTest() : interp_(Tcl_CreateInterp()) {
    Tcl_CreateObjCommand(interp_, "CreateLink", CreateLink, nullptr, nullptr);
    calls.clear();
    outcome = ShellLinkStep::kWritten;
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

  Tcl_Interp *interp_;
  std::string result_;
  std::string output_;
};

TEST_F(CreateLinkTest, HandsEveryValueToThePlatformOnce) {
  ASSERT_EQ(run("CreateLink /l.lnk -objectPath /t/x.exe -description {A B} -workingDirectory /t "
                "-icon /t/x.ico 5 -arguments {-v 2}"),
            TCL_OK);
  EXPECT_EQ(calls, (Calls{"/l.lnk|/t/x.exe|A B|/t|/t/x.ico|5|-v 2"}));
  EXPECT_EQ(output_, "created link /t/x.exe\n");
  EXPECT_EQ(result_, "");
}

TEST_F(CreateLinkTest, OnlyALinkPathSetsEveryFieldEmpty) {
  ASSERT_EQ(run("CreateLink /l.lnk"), TCL_OK);
  EXPECT_EQ(calls, (Calls{"/l.lnk|||||0|"}));
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
    EXPECT_EQ(calls, (Calls{std::string("/l.lnk||||/x.ico|") + c.index + "|"})) << c.word;
  }
}

// Whatever the platform answers, the command succeeds with an empty result;
// the line it prints names the step that failed.
TEST_F(CreateLinkTest, EachFailedStepHasItsLine) {
  saveFailure = "disk full";
  const struct {
    ShellLinkStep step;
    const char *output;
  } cases[] = {
      {ShellLinkStep::kNoLinkObject, ""},
      {ShellLinkStep::kNoFileInterface, "link /l.lnk was not written: the link object cannot be saved to a file\n"},
      {ShellLinkStep::kPathNotWide, "link /l.lnk was not written: the path cannot be converted to UTF-16\n"},
      {ShellLinkStep::kSave, "link /l.lnk was not written: disk full\n"},
  };
  for (const auto &c : cases) {
    calls.clear();
    outcome = c.step;
    EXPECT_EQ(run("CreateLink /l.lnk -objectPath /t"), TCL_OK) << c.output;
    EXPECT_EQ(output_, c.output);
    EXPECT_EQ(result_, "") << c.output;
    EXPECT_EQ(calls.size(), 1u) << c.output;
  }
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
  EXPECT_EQ(calls, (Calls{"/l.lnk|" + long199 + "||||0|" + long199}));
}

}  // namespace
