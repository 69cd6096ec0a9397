#include "crypt/text_cipher.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "crypt/script_cipher.h"

namespace text_cipher {

namespace {

const int kBlockSize = 8;
const unsigned char kPadByte = ' ';

// Appends "%d " for value; the number buffer holds any 32-bit value.
void appendNumber(std::string *out, int value) {
  char number[16];
  int written = std::snprintf(number, sizeof number, "%d ", value);
  if (written > 0 && static_cast<size_t>(written) < sizeof number) out->append(number, static_cast<size_t>(written));
}

Outcome failure(std::string message) { return Outcome{false, std::move(message)}; }

}  // namespace

bool parseListNumber(const char *word, int32_t *value) {
  const unsigned char *p = reinterpret_cast<const unsigned char *>(word);
  while (std::isspace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (!std::isdigit(*p)) return false;
  int64_t magnitude = 0;
  while (std::isdigit(*p)) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > static_cast<int64_t>(INT32_MAX) + 1) return false;
    ++p;
  }
  while (std::isspace(*p)) ++p;
  if (*p != '\0') return false;
  int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) return false;
  *value = static_cast<int32_t>(signedValue);
  return true;
}

Outcome encryptToByteList(const ScriptCipher &cipher, const char *text, size_t length) {
  if (length > static_cast<size_t>(kMaxTextBytes)) {
    return failure("text is too long to encrypt: " + std::to_string(length) + " bytes, at most " +
                   std::to_string(kMaxTextBytes));
  }
  unsigned char work[kWorkBufferSize];
  std::memcpy(work, text, length);
  int textLength = static_cast<int>(length);
  int pad = kBlockSize - textLength % kBlockSize;
  std::memset(work + textLength, kPadByte, static_cast<size_t>(pad));
  int count = textLength + pad;
  cipher.crypt(1, work, count);

  Outcome answer{true, std::string()};
  answer.text.reserve(static_cast<size_t>(count) * 5 + 8);
  appendNumber(&answer.text, count);
  for (int i = 0; i < count; ++i) appendNumber(&answer.text, static_cast<signed char>(work[i]));
  return answer;
}

Outcome decryptByteList(const ScriptCipher &cipher, const char *countWord, const char *const *valueWords,
                        size_t valueCount) {
  int32_t count = 0;
  if (!parseListNumber(countWord, &count) || count < 0 || count > kMaxCount) {
    return failure("bad count \"" + std::string(countWord) + "\": must be an integer from 0 to " +
                   std::to_string(kMaxCount));
  }
  if (static_cast<size_t>(count) > valueCount) {
    return failure("count " + std::to_string(count) + " needs " + std::to_string(count) + " byte values, got " +
                   std::to_string(valueCount));
  }
  // Zeroed, so that the last block of a count that is not a multiple of 8
  // never reads undefined bytes; count + 1 <= kWorkBufferSize leaves room
  // for the whole last block and the terminating zero.
  unsigned char work[kWorkBufferSize] = {};
  for (int32_t i = 0; i < count; ++i) {
    int32_t value = 0;
    if (!parseListNumber(valueWords[i], &value)) {
      return failure("bad byte value \"" + std::string(valueWords[i]) + "\": must be an integer");
    }
    work[i] = static_cast<unsigned char>(value & 0xff);
  }
  cipher.crypt(0, work, count);
  work[count] = '\0';
  return Outcome{true, std::string(reinterpret_cast<const char *>(work))};
}

}  // namespace text_cipher
