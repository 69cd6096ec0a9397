#include "crypt/text_cipher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"

namespace {

using text_cipher::decryptByteList;
using text_cipher::encryptToByteList;
using text_cipher::parseListNumber;

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

  std::string roundTrip(const std::string &text) {
    text_cipher::Outcome encrypted = encryptToByteList(cipher_, text.data(), text.size());
    EXPECT_TRUE(encrypted.ok) << encrypted.text;
    text_cipher::Outcome decrypted = decryptWords(words(encrypted.text));
    EXPECT_TRUE(decrypted.ok) << decrypted.text;
    return decrypted.text;
  }

  ScriptCipher cipher_;
};

TEST_F(TextCipherTest, ListIsCountThenSignedBytesEachFollowedByABlank) {
  const std::string text = "abc";
  text_cipher::Outcome list = encryptToByteList(cipher_, text.data(), text.size());
  ASSERT_TRUE(list.ok);
  ASSERT_FALSE(list.text.empty());
  EXPECT_EQ(list.text.back(), ' ');
  EXPECT_EQ(list.text.find("  "), std::string::npos);
  std::vector<std::string> all = words(list.text);
  ASSERT_EQ(all.size(), 9u);
  EXPECT_EQ(all[0], "8");

  // The values are the cipher's output over the text padded with blanks.
  unsigned char expected[8] = {'a', 'b', 'c', ' ', ' ', ' ', ' ', ' '};
  cipher_.crypt(1, expected, 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(all[i + 1], std::to_string(static_cast<signed char>(expected[i]))) << "byte " << i;
  }
}

TEST_F(TextCipherTest, RoundTripsKeepThePad) {
  EXPECT_EQ(roundTrip(""), std::string(8, ' '));
  EXPECT_EQ(roundTrip("abc"), "abc     ");
  EXPECT_EQ(roundTrip("12345678"), "12345678        ");
  // 15 bytes of UTF-8: one pad byte.
  EXPECT_EQ(roundTrip("gr\xc3\xbc\xc3\x9f dich \xe2\x82\xac"), "gr\xc3\xbc\xc3\x9f dich \xe2\x82\xac ");
  EXPECT_EQ(roundTrip("\xd0\xbf\xd1\x80\xd0\xb8"), "\xd0\xbf\xd1\x80\xd0\xb8  ");
}

TEST_F(TextCipherTest, ExtraValuesAreNotReadAndShortCountsStopTheText) {
  std::vector<std::string> all = words(encryptToByteList(cipher_, "abcdefghij", 10).text);
  all.push_back("not a number");
  text_cipher::Outcome whole = decryptWords(all);
  ASSERT_TRUE(whole.ok) << whole.text;
  EXPECT_EQ(whole.text, "abcdefghij      ");

  // A shorter count reads only its values and answers at most its bytes.
  all[0] = "8";
  EXPECT_EQ(decryptWords(all).text, "abcdefgh");
  all[0] = "3";
  text_cipher::Outcome partial = decryptWords(all);
  EXPECT_TRUE(partial.ok);
  EXPECT_LE(partial.text.size(), 3u);
  all[0] = "0";
  text_cipher::Outcome empty = decryptWords(all);
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.text, "");
}

TEST_F(TextCipherTest, TextsAndCountsBeyondTheBufferAreRefused) {
  std::string longText(2560, 'x');
  text_cipher::Outcome tooLong = encryptToByteList(cipher_, longText.data(), longText.size());
  EXPECT_FALSE(tooLong.ok);
  EXPECT_EQ(tooLong.text, "text is too long to encrypt: 2560 bytes, at most 2559");

  std::vector<std::string> values(2600, "1");
  for (const char *count : {"-1", "2560", "99999999999", "abc", "", "1.5", "0x10", "8x"}) {
    values[0] = count;
    text_cipher::Outcome refused = decryptWords(values);
    EXPECT_FALSE(refused.ok) << count;
    EXPECT_EQ(refused.text, "bad count \"" + std::string(count) + "\": must be an integer from 0 to 2559");
  }
  values[0] = "2559";
  EXPECT_TRUE(decryptWords(values).ok);

  std::vector<std::string> list = words(encryptToByteList(cipher_, "abc", 3).text);
  list[0] = "16";
  EXPECT_EQ(decryptWords(list).text, "count 16 needs 16 byte values, got 8");
  list[0] = "8";
  list[5] = "12abc";
  EXPECT_EQ(decryptWords(list).text, "bad byte value \"12abc\": must be an integer");
}

TEST(ParseListNumberTest, ReadsDecimalIntegersOnly) {
  const struct {
    const char *word;
    bool ok;
    int32_t value;
  } cases[] = {
      {"0", true, 0},           {"-128", true, -128},           {"+7", true, 7},
      {" 12 ", true, 12},       {"8\n", true, 8},               {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"-2147483649", false, 0},      {"", false, 0},
      {" ", false, 0},          {"-", false, 0},                {"1 2", false, 0},
      {"0x1f", false, 0},       {"1e3", false, 0},              {"abc", false, 0},
      {"--1", false, 0},        {"99999999999999999999", false, 0},
  };
  for (const auto &c : cases) {
    int32_t value = 4242;
    EXPECT_EQ(parseListNumber(c.word, &value), c.ok) << '"' << c.word << '"';
    EXPECT_EQ(value, c.ok ? c.value : 4242) << '"' << c.word << '"';
  }
}

}  // namespace
