// The byte lists of EncryptText and DecryptText, without Tcl. The first byte
// picks the check:
//   even: the rest is a list's words (count, then values, one per line) for
//         decryptByteList; it answers without reading past its words, and a
//         text it answers has no zero byte and fits the work buffer;
//   odd:  the rest is a text; a text encryptToByteList takes comes back from
//         decryptByteList with its blank padding, up to its first zero byte.
#include <cstring>

#include "crypt/script_cipher.h"
#include "crypt/script_key.h"
#include "crypt/text_cipher.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

ScriptCipher cipher;

// The words of a list answer: numbers, each followed by one blank.
std::vector<std::string> listWords(const std::string &list) {
  std::vector<std::string> words;
  size_t start = 0;
  for (size_t blank; (blank = list.find(' ', start)) != std::string::npos; start = blank + 1) {
    words.push_back(list.substr(start, blank - start));
  }
  FUZZ_CHECK(start == list.size());
  return words;
}

text_cipher::Outcome decryptWords(const std::vector<std::string> &words) {
  std::vector<const char *> values;
  for (size_t i = 1; i < words.size(); ++i) values.push_back(words[i].c_str());
  return text_cipher::decryptByteList(cipher, words[0].c_str(), values.data(), values.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  keyScriptCipher(cipher);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  const bool roundTrip = data[0] & 1;
  const std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
  if (!roundTrip) {
    const text_cipher::Outcome outcome = decryptWords(fuzz::splitWords(data + 1, size - 1));
    if (outcome.ok) {
      FUZZ_CHECK(outcome.text.find('\0') == std::string::npos);
      FUZZ_CHECK(outcome.text.size() <= static_cast<size_t>(text_cipher::kWorkBufferSize));
    } else {
      FUZZ_CHECK(!outcome.text.empty());
    }
    return 0;
  }

  const text_cipher::Outcome list = text_cipher::encryptToByteList(cipher, rest.data(), rest.size());
  FUZZ_CHECK(list.ok == (rest.size() <= static_cast<size_t>(text_cipher::kMaxTextBytes)));
  if (!list.ok) return 0;
  const std::vector<std::string> words = listWords(list.text);
  const size_t padded = rest.size() / 8 * 8 + 8;
  FUZZ_CHECK(words.size() == 1 + padded && words[0] == std::to_string(padded));
  const text_cipher::Outcome back = decryptWords(words);
  FUZZ_CHECK(back.ok);
  const std::string expected = (rest + std::string(padded - rest.size(), ' ')).c_str();
  FUZZ_CHECK(back.text == expected);
  return 0;
}
