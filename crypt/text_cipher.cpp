#include "crypt/text_cipher.h"

#include <cstdio>
#include <cstring>

#include "crypt/script_cipher.h"
#include "support/decimal_scan.h"

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
  if (!scanDecimalWord(countWord, &count) || count < 0 || count > kMaxCount) {
    return failure("bad count \"" + std::string(countWord) + "\": must be an integer from 0 to " +
                   std::to_string(kMaxCount));
  }
  if (static_cast<size_t>(count) > valueCount) {
    return failure("count " + std::to_string(count) + " needs " + std::to_string(count) + " byte values, got " +
                   std::to_string(valueCount));
  }
  // Zeroed: a value word with no number stores nothing and leaves 0, and the
  // last block of a count that is not a multiple of 8 decrypts known bytes.
  // kMaxCount is a multiple of 8, so every last block ends inside the
  // buffer, with room for the terminating zero after it.
  static_assert(kMaxCount % kBlockSize == 0, "the last block must fit");
  unsigned char work[kMaxCount + 1] = {};
  for (int32_t i = 0; i < count; ++i) {
    int32_t value = 0;
    if (scanDecimalWord(valueWords[i], &value)) work[i] = static_cast<unsigned char>(value & 0xff);
  }
  cipher.crypt(0, work, count);
  work[count] = '\0';
  return Outcome{true, std::string(reinterpret_cast<const char *>(work))};
}

}  // namespace text_cipher
