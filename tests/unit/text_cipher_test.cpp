#include "crypt/text_cipher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"

namespace {

using text_cipher::decryptByteList;
using text_cipher::encryptToByteList;

class TextCipherTest : public ::testing::Test {
 protected:
  TextCipherTest() {
    unsigned char key[ScriptCipher::kKeyLength];
    for (int i = 0; i < ScriptCipher::kKeyLength; ++i) key[i] = static_cast<unsigned char>(i * 37 + 11);
    cipher_.scheduleKey(key, sizeof key);
  }

  // The words of a byte list, as a script spreads them out.
  static std::vector<std::string> words(const std::string &list) {
    std::vector<std::string> out;
    std::istringstream in(list);
    for (std::string word; in >> word;) out.push_back(word);
    return out;
  }

  text_cipher::Outcome decryptWords(const std::vector<std::string> &all) {
    std::vector<const char *> values;
    for (size_t i = 1; i < all.size(); ++i) values.push_back(all[i].c_str());
    return decryptByteList(cipher_, all.at(0).c_str(), values.data(), values.size());
  }

  ScriptCipher cipher_;
};

// The byte-list format, round trips and the refusals' messages are checked
// end to end in tests/tcl/text_commands.test; here what a script cannot see.
TEST_F(TextCipherTest, ExtraValuesAreNotReadAndShortCountsStopTheText) {
  std::vector<std::string> all = words(encryptToByteList(cipher_, "abcdefghij", 10).text);
  all.push_back("not a number");
  EXPECT_EQ(decryptWords(all).text, "abcdefghij      ");
  // A shorter count reads only its values and answers at most its bytes.
  all[0] = "8";
  EXPECT_EQ(decryptWords(all).text, "abcdefgh");
  all[0] = "3";
  text_cipher::Outcome partial = decryptWords(all);
  EXPECT_TRUE(partial.ok);
  EXPECT_LE(partial.text.size(), 3u);
}

TEST_F(TextCipherTest, LargestCountIsTaken) {
  std::vector<std::string> values(2600, "1");
  values[0] = "2560";
  EXPECT_TRUE(decryptWords(values).ok);
  values[0] = "2561";
  EXPECT_FALSE(decryptWords(values).ok);
}

}  // namespace
