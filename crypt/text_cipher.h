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
// A decrypted text needs a terminating zero after its count of bytes.
const int kMaxCount = kWorkBufferSize - 1;

// The answer of a conversion: the text when ok, otherwise the error message.
struct Outcome {
  bool ok;
  std::string text;
};

// Pads text (length bytes) with 1 to 8 blanks to a multiple of 8, encrypts
// it and answers its byte list. Fails for texts longer than kMaxTextBytes.
Outcome encryptToByteList(const ScriptCipher &cipher, const char *text, size_t length);

// Decrypts the byte list given as a count word and valueCount value words
// (values beyond the count are not read; each value keeps its low 8 bits, so
// -12 and 244 are the same byte) and answers the text up to its first zero
// byte. Fails for a count that is not an integer from 0 to kMaxCount, a
// count larger than valueCount, or a value that is not an integer.
Outcome decryptByteList(const ScriptCipher &cipher, const char *countWord, const char *const *valueWords,
                        size_t valueCount);

// Reads a word that holds one decimal integer in the 32-bit range, as the
// scan format "%d " reads it (blanks around it and a leading sign allowed,
// nothing else). Returns false, value untouched, for anything else.
bool parseListNumber(const char *word, int32_t *value);

}  // namespace text_cipher
