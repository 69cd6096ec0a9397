#include "device/command_report.h"

#include <cstdio>
#include <cstring>

#include "support/decimal_scan.h"

namespace device {

namespace {

bool isScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint8_t scanCommandByte(const char *word) {
  int32_t value = 0;
  if (!scanDecimalWord(word, &value)) return 0;
  return static_cast<uint8_t>(value);
}

uint8_t scanDataByte(const char *word) {
  if (word == nullptr) return 0;
  const char *p = word;
  while (isScanSpace(*p)) ++p;
  int width = 2;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p++ == '-');
    --width;
  }
  int value = 0;
  int digits = 0;
  for (; width > 0 && hexDigitValue(*p) >= 0; --width, ++p, ++digits) value = value * 16 + hexDigitValue(*p);
  if (digits == 0) return 0;
  return static_cast<uint8_t>(negative ? -value : value);
}

void buildCommandReport(const char *commandWord, const char *const *dataWords, size_t dataCount,
                        ExchangeBuffer &buffer) {
  std::memset(buffer.bytes, 0, sizeof buffer.bytes);
  buffer.bytes[0] = 0;
  buffer.bytes[1] = scanCommandByte(commandWord);
  if (dataCount > kMaxDataBytes) dataCount = kMaxDataBytes;
  for (size_t i = 0; i < dataCount; ++i) buffer.bytes[2 + i] = scanDataByte(dataWords[i]);
}

std::string formatReplyBytes(const uint8_t *bytes, size_t count) {
  static const char kHex[] = "0123456789abcdef";
  if (count > kExchangeBufferSize) count = kExchangeBufferSize;
  std::string text;
  text.reserve(count * 3);
  for (size_t i = 0; i < count; ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0f];
    text += ' ';
  }
  return text;
}

std::string nothingAfter(int polls) {
  char text[48];
  std::snprintf(text, sizeof text, "Got Nothing after %d.", polls);
  return text;
}

}  // namespace device
