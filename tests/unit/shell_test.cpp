// The shell's start-up pieces: command-line splitting, TextBuffer and
// RevealText.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <tcl.h>

#include "fieldwish_secrets.h"
#include "shell/panic_handler.h"
#include "support/reveal_text.h"
#include "shell/split_command_line.h"
#include "shell/text_buffer.h"
#include "tests/unit/split_words.h"

namespace {

TEST(SplitCommandLine, QuotingExamples) {
  EXPECT_EQ(split(R"(prog a\\\"b)"), (Args{"prog", R"(a\"b)"}));
  EXPECT_EQ(split(R"(prog "a b")"), (Args{"prog", "a b"}));
  EXPECT_EQ(split(R"(prog a\\"b c")"), (Args{"prog", R"(a\b c)"}));
  EXPECT_EQ(split(R"(prog "a""b")"), (Args{"prog", R"(a"b)"}));
  EXPECT_EQ(split(R"(prog a\\b)"), (Args{"prog", R"(a\\b)"}));
}

TEST(SplitCommandLine, BlanksAndEmptyArguments) {
  EXPECT_EQ(split("prog"), (Args{"prog"}));
  EXPECT_EQ(split("prog   \t  "), (Args{"prog"}));
  EXPECT_EQ(split("  prog\ta  \t b "), (Args{"prog", "a", "b"}));
  EXPECT_EQ(split(""), Args{});
  EXPECT_EQ(split("   "), Args{});
  EXPECT_EQ(split(R"(prog "" x)"), (Args{"prog", "", "x"}));
  EXPECT_EQ(split(R"(prog "")"), (Args{"prog", ""}));
}

TEST(SplitCommandLine, QuotesAndBackslashesAtTheEdges) {
  EXPECT_EQ(split(R"(prog "unterminated quote)"), (Args{"prog", "unterminated quote"}));
  EXPECT_EQ(split(R"(prog "AUTO")"), (Args{"prog", "AUTO"}));
  EXPECT_EQ(split(R"(prog a"b c"d e)"), (Args{"prog", "ab cd", "e"}));
  EXPECT_EQ(split(R"(prog trailing\)"), (Args{"prog", R"(trailing\)"}));
  EXPECT_EQ(split(R"(prog "end\\" next)"), (Args{"prog", R"(end\)", "next"}));
  EXPECT_EQ(split(R"(prog \" \\\\" x")"), (Args{"prog", "\"", R"(\\ x)"}));
  EXPECT_EQ(split(R"(prog "a""")"), (Args{"prog", R"(a")"}));
  EXPECT_EQ(split("prog C:\\Apps\\bin\\prog.exe"), (Args{"prog", "C:\\Apps\\bin\\prog.exe"}));
}

TEST(TextBuffer, ConstructionKeepsTheTextAndItsTerminator) {
  TextBuffer empty("");
  EXPECT_STREQ(empty.text(), "");
  EXPECT_EQ(empty.capacity(), 1);

  TextBuffer word("auto");
  EXPECT_STREQ(word.text(), "auto");
  EXPECT_EQ(word.capacity(), 5);

  TextBuffer sized(10);
  EXPECT_STREQ(sized.text(), "");
  EXPECT_EQ(sized.capacity(), 10);
  EXPECT_EQ(TextBuffer().capacity(), 256);
}

TEST(TextBuffer, AppendGrowsInStepsOf256) {
  TextBuffer text("ab");
  text.append("cd");
  EXPECT_STREQ(text.text(), "abcd");
  EXPECT_EQ(text.capacity(), 3 + 256);

  std::string big(600, 'x');
  TextBuffer grown("");
  grown.append(big.c_str());
  EXPECT_EQ(std::string(grown.text()), big);
  EXPECT_EQ(grown.capacity(), 1 + 3 * 256);  // 601 bytes needed: three steps

  // Exactly full: no growth.
  TextBuffer exact(8);
  exact.append("1234567");
  EXPECT_EQ(exact.capacity(), 8);
  exact.append("8");
  EXPECT_EQ(exact.capacity(), 8 + 256);
  EXPECT_STREQ(exact.text(), "12345678");
}

TEST(TextBuffer, AssignReplacesAndCopiesAreIndependent) {
  TextBuffer text("first");
  text.assign("a much longer second value that needs more room");
  EXPECT_STREQ(text.text(), "a much longer second value that needs more room");
  text.assign("");
  EXPECT_STREQ(text.text(), "");

  TextBuffer original("shared?");
  TextBuffer copy(original);
  EXPECT_EQ(copy.capacity(), original.capacity());
  copy.assign("no");
  EXPECT_STREQ(original.text(), "shared?");
  EXPECT_STREQ(copy.text(), "no");
}

// The mode words in their letter cases, and near misses, are checked through
// the shell in tests/tcl/boot.test; here the characters a mode word cannot show.
TEST(TextBuffer, EqualsIgnoreCaseFoldsAsciiLettersOnly) {
  EXPECT_FALSE(TextBuffer("install").equalsIgnoreCase("installation"));
  EXPECT_TRUE(TextBuffer("").equalsIgnoreCase(""));
  EXPECT_TRUE(TextBuffer("Auto").equalsIgnoreCase(TextBuffer("aUTO")));
  // '@' and '`' sit next to the letters; they must not fold onto them.
  EXPECT_FALSE(TextBuffer("@").equalsIgnoreCase("`"));
  EXPECT_FALSE(TextBuffer("\xc3\xa9").equalsIgnoreCase("\xc3\x89"));
}

TEST(TextBuffer, PrintWritesTheTextAndANewline) {
  testing::internal::CaptureStdout();
  TextBuffer("mode word").print();
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "mode word\n");
}

TEST(RevealText, UndoesTheIndexOffset) {
  const uint32_t stored[] = {'C', 'r' + 1, 'y' + 2, 'p' + 3, 0, 4};
  char *text = RevealText(stored, 4);
  EXPECT_STREQ(text, "Cryp");
  EXPECT_EQ(ObfuscatedLength(stored), 4);
  delete[] text;

  // Only the low eight bits count, so wrapped words still reveal.
  const uint32_t wide[] = {0x100u + 'a', 0xff00u + 'b' + 1, 0, 2};
  text = RevealText(wide, 2);
  EXPECT_STREQ(text, "ab");
  delete[] text;

  text = RevealText(stored, 0);
  EXPECT_STREQ(text, "");
  delete[] text;
}

TEST(RevealText, GeneratedNamesRevealInRegistrationOrder) {
  const char *expected[8] = {"CryptSource", "ShellProbe", "CreateLink", "DecryptText",
                             "EncryptText", "HidSurvey",  "HidConnect", "HidCommand"};
  for (int i = 0; i < 8; ++i) {
    const uint32_t *words = secrets::kCommandNames[i];
    int length = ObfuscatedLength(words);
    ASSERT_EQ(length, static_cast<int>(std::strlen(expected[i])));
    char *name = RevealText(words, length);
    EXPECT_STREQ(name, expected[i]);
    delete[] name;
  }
}

TEST(PanicHandlerDeathTest, ShowsTheMessageAndExitsWithStatusOne) {
  EXPECT_EXIT(PanicHandler("lost %s after %d tries", "the display", 3), testing::ExitedWithCode(1),
              "^Fatal Error in Wish: lost the display after 3 tries\n$");
  // Installed as Tcl's panic procedure, Tcl's own fatal errors end the same way.
  EXPECT_EXIT(
      {
        Tcl_SetPanicProc(PanicHandler);
        Tcl_Panic("from Tcl");
      },
      testing::ExitedWithCode(1), "^Fatal Error in Wish: from Tcl\n$");
}

TEST(PanicHandlerDeathTest, CutsAnOverlongMessageToTheBuffer) {
  std::string longText(5000, 'm');
  // 1,023 characters of the message survive, then the line ends (spelt out:
  // GoogleTest's regular expressions on Windows have no repeat counts).
  EXPECT_EXIT(PanicHandler("%s", longText.c_str()), testing::ExitedWithCode(1),
              "^Fatal Error in Wish: " + std::string(1023, 'm') + "\n$");
}

}  // namespace
