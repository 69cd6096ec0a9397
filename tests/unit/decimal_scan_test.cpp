// The "%d " rule for numbers in words, shared by DecryptText and HidCommand
// (which checks it against sscanf through its command word).
#include "support/decimal_scan.h"

#include <gtest/gtest.h>

namespace {

TEST(DecimalScanTest, LeadingNumberRestIgnored) {
  const struct {
    const char *word;
    bool scans;
    int32_t value;
  } cases[] = {
      {"8abc", true, 8},     {"111xyz", true, 111},  {"1.5", true, 1},         {"0x10", true, 0},
      {" \t-128 ", true, -128}, {"+7", true, 7},     {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      // Beyond 32 bits: the low 32 bits of the written number.
      {"4294967304", true, 8},  {"-4294967297", true, -1},
      {"", false, 0},        {" ", false, 0},        {"-", false, 0},          {"--1", false, 0},
      {"abc", false, 0},     {"+ 1", false, 0},
  };
  for (const auto &c : cases) {
    int32_t value = 4242;
    EXPECT_EQ(scanDecimalWord(c.word, &value), c.scans) << '"' << c.word << '"';
    EXPECT_EQ(value, c.scans ? c.value : 4242) << '"' << c.word << '"';
  }
  int32_t value = 0;
  EXPECT_FALSE(scanDecimalWord(nullptr, &value));
}

}  // namespace
