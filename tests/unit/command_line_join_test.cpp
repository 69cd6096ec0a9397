// The POSIX layer's command-line text: SplitCommandLine, the Windows rules,
// must give back every argument vector the layer joins.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/posix/command_line_posix.h"
#include "tests/unit/split_words.h"

namespace {

// Every argument vector must come back from its joined command-line text.
TEST(SplitCommandLine, RoundTripOfJoinedArguments) {
  const std::vector<Args> cases = {
      {"prog"},
      {"prog", ""},
      {"prog", "", ""},
      {"prog", "a b", "\tc"},
      {"prog", "\"", "\"\"", "a\"b"},
      {"prog", "\\", "\\\\", "a\\", "a\\\\", "a b\\", "a b\\\\"},
      {"prog", "\\\"", "\\\\\"", "x\\\"y z"},
      {"/path with blanks/fieldwish", "installation"},
      {"prog", "caf\xc3\xa9", "\xe2\x82\xac 5"},
  };
  for (const Args &args : cases) {
    EXPECT_EQ(split(platform::joinCommandLine(args)), args) << platform::joinCommandLine(args);
  }

  // And a few thousand random ones over the characters that matter.
  std::mt19937 random(20261207);
  const char alphabet[] = {'a', ' ', '\t', '"', '\\', 'x'};
  for (int round = 0; round < 3000; ++round) {
    Args args{"prog"};
    int count = static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) {
      std::string arg;
      int length = static_cast<int>(random() % 7);
      for (int k = 0; k < length; ++k) arg += alphabet[random() % sizeof alphabet];
      args.push_back(arg);
    }
    ASSERT_EQ(split(platform::joinCommandLine(args)), args) << platform::joinCommandLine(args);
  }
}

}  // namespace
