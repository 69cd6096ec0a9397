// The encrypted byte-list form of short texts: a count T (a multiple of 8),
// then T signed byte values from -128 to 127, each number followed by one
// blank. Texts are padded with blanks to whole cipher blocks; the pad stays
// on the text when it is decrypted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ScriptCipher;

namespace text_cipher {

// Bytes of the per-call work buffer.
const int kWorkBufferSize = 2560;
// A text needs at least one pad byte after it.
const int kMaxTextBytes = kWorkBufferSize - 1;
// The largest count encryptToByteList makes (a text of kMaxTextBytes and its
// pad): every list it makes can be decrypted.
const int kMaxCount = kWorkBufferSize;

// The answer of a conversion: the text when ok, otherwise the error message.
struct Outcome {
  bool ok;
  std::string text;
};

// Pads text (length bytes) with 1 to 8 blanks to a multiple of 8, encrypts
// it and answers its byte list. Fails for texts longer than kMaxTextBytes.
Outcome encryptToByteList(const ScriptCipher &cipher, const char *text, size_t length);

// Decrypts the byte list given as a count word and valueCount value words
// and answers the text up to its first zero byte. Every word is read as
// "%d " scans it (support/decimal_scan.h): its leading number, the rest
// ignored. Each value keeps its low 8 bits, so -12 and 244 are the same byte;
// a value word with no number gives the byte 0; values beyond the count are
// not read. Fails for a count word with no number, a count outside 0 to
// kMaxCount, or a count larger than valueCount.
Outcome decryptByteList(const ScriptCipher &cipher, const char *countWord, const char *const *valueWords,
                        size_t valueCount);

}  // namespace text_cipher
