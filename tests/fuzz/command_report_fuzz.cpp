// HidCommand's words and the report they build. The input is the words, one
// per line: the command, then the data. Oracle: report ID 0; the command byte
// is the low eight bits of the leading decimal number (the "%d " scan, worked
// out here with exact arithmetic); each data byte is what the C library's
// "%2hhx" scan makes of its word (0 when nothing scans); every other byte of
// the exchange buffer is 0, and no more than 63 data words are taken.
#include <cstdio>
#include <cstring>

#include "device/command_report.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool isScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

uint8_t referenceCommandByte(const std::string &word) {
  size_t i = 0;
  while (i < word.size() && isScanSpace(word[i])) ++i;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
  if (i >= word.size() || word[i] < '0' || word[i] > '9') return 0;
  unsigned remainder = 0;  // the number modulo 256, digit by digit
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) remainder = (remainder * 10 + (word[i] - '0')) % 256;
  return static_cast<uint8_t>(negative ? (256 - remainder) % 256 : remainder);
}

uint8_t referenceDataByte(const std::string &word) {
  unsigned char value = 0;
  if (std::sscanf(word.c_str(), "%2hhx", &value) != 1) return 0;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<std::string> words = fuzz::splitWords(data, size);
  // A word ends at its first NUL, as the C text Tcl hands over does.
  for (std::string &word : words) word = word.c_str();
  std::vector<const char *> dataWords;
  for (size_t i = 1; i < words.size(); ++i) dataWords.push_back(words[i].c_str());

  device::ExchangeBuffer buffer;
  std::memset(buffer.bytes, 0xA5, sizeof buffer.bytes);
  device::buildCommandReport(words[0].c_str(), dataWords.data(), dataWords.size(), buffer);

  FUZZ_CHECK(buffer.bytes[0] == 0);
  FUZZ_CHECK(buffer.bytes[1] == referenceCommandByte(words[0]));
  const size_t taken = std::min(dataWords.size(), device::kMaxDataBytes);
  for (size_t i = 0; i < taken; ++i) FUZZ_CHECK(buffer.bytes[2 + i] == referenceDataByte(words[1 + i]));
  for (size_t i = 2 + taken; i < sizeof buffer.bytes; ++i) FUZZ_CHECK(buffer.bytes[i] == 0);

  // The reply text: three characters a byte, never more than the buffer.
  const std::string reply = device::formatReplyBytes(buffer.bytes, size);
  FUZZ_CHECK(reply.size() == 3 * std::min(size, device::kExchangeBufferSize));
  return 0;
}
