// The command report, the scan rules of its words, and the answer texts.
#include "device/command_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using device::ExchangeBuffer;

ExchangeBuffer build(const char *command, const std::vector<const char *> &data) {
  ExchangeBuffer buffer;
  std::memset(buffer.bytes, 0xEE, sizeof buffer.bytes);  // the builder must clear it
  device::buildCommandReport(command, data.data(), data.size(), buffer);
  return buffer;
}

TEST(CommandWordScan, LowEightBitsOfTheDecimalNumber) {
  struct Case { const char *word; uint8_t expected; } cases[] = {
      {"5", 0x05}, {"129", 0x81}, {"-127", 0x81}, {"256", 0x00}, {"-1", 0xFF}, {"  77", 0x4D},
      {"+65", 0x41}, {"12abc", 12}, {"3.9", 3}, {"abc", 0}, {"", 0}, {"-", 0}, {"0x41", 0},
      // Far beyond an int: the low bits of the written number, no overflow.
      {"4294967297", 1},
      // 10^20 - 1: 10^20 is a multiple of 256, so the low byte is 0xFF.
      {"99999999999999999999", 0xFF},
  };
  for (const Case &c : cases) EXPECT_EQ(device::scanCommandByte(c.word), c.expected) << '"' << c.word << '"';
  EXPECT_EQ(device::scanCommandByte(nullptr), 0);
}

TEST(CommandWordScan, AgreesWithScanfWhereScanfIsDefined) {
  for (const char *word : {"0", "7", "-7", "255", "256", "1000", "-1000", " 42xyz", "\t-3"}) {
    int value = 0;
    ASSERT_EQ(std::sscanf(word, "%d ", &value), 1);
    EXPECT_EQ(device::scanCommandByte(word), static_cast<uint8_t>(value)) << word;
  }
}

TEST(DataWordScan, AtMostTwoCharactersSignIncluded) {
  struct Case { const char *word; uint8_t expected; } cases[] = {
      {"1f", 0x1F}, {"a", 0x0A}, {"A", 0x0A}, {"FF", 0xFF}, {"123", 0x12}, {"-1", 0xFF},
      {"+f", 0x0F}, {"-12", 0xFF}, {"  7", 0x07}, {"g", 0}, {"", 0}, {"+", 0}, {"0x1f", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(device::scanDataByte(c.word), c.expected) << '"' << c.word << '"';
  EXPECT_EQ(device::scanDataByte(nullptr), 0);
}

TEST(DataWordScan, AgreesWithScanf) {
  for (const char *word : {"0", "7f", "80", "ff", "123", "-1", "-f", "+a", " 3c", "a9z"}) {
    unsigned char value = 0;
    ASSERT_EQ(std::sscanf(word, "%02hhx", &value), 1) << word;
    EXPECT_EQ(device::scanDataByte(word), value) << word;
  }
}

// Which words are sent is checked in tests/tcl/hid_command.test; here, that
// the builder clears the whole buffer and stores nothing past the report.
TEST(CommandReport, SeventyDataWordsStayInsideTheReport) {
  ExchangeBuffer b = build("69", std::vector<const char *>(70, "ff"));
  for (size_t i = 2; i < device::kCommandReportSize; ++i) ASSERT_EQ(b.bytes[i], 0xFF) << i;
  for (size_t i = device::kCommandReportSize; i < sizeof b.bytes; ++i) ASSERT_EQ(b.bytes[i], 0) << i;
}

// Whole 64-byte replies and the status answers are checked through the
// command in tests/tcl/hid_command.test.
TEST(ReplyText, TwoLowerCaseDigitsAndABlankPerByteNeverPastTheBuffer) {
  const uint8_t one[] = {0x0A};
  EXPECT_EQ(device::formatReplyBytes(one, 1), "0a ");
  EXPECT_EQ(device::formatReplyBytes(one, 0), "");
  std::vector<uint8_t> many(1000, 0x11);
  EXPECT_EQ(device::formatReplyBytes(many.data(), many.size()).size(), 3 * device::kExchangeBufferSize);
}

}  // namespace
