// ScriptCipher: the published Blowfish vectors (through the byte order of the
// halves), round trips, ECB properties, the interleaved path against the one
// block path, and agreement with OpenSSL's Blowfish under the 49-byte key
// (where the build has OpenSSL: the Windows build's units run without it).
// Decryption is checked by the round trips: with encryption right, an inverse
// of it is right, and the one-block comparison covers decryptBlock.
#include "crypt/script_cipher.h"

#include <gtest/gtest.h>
#if FIELDWISH_OPENSSL_REFERENCE
#include <openssl/blowfish.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "crypt/script_key.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes fromHex(const char *hex) {
  Bytes out;
  for (size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    unsigned value = 0;
    std::sscanf(hex + i, "%2x", &value);
    out.push_back(static_cast<unsigned char>(value));
  }
  return out;
}

uint32_t bigEndianWord(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

uint32_t littleEndianWord(const unsigned char *p) {
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 |
         p[0];
}

void putLittleEndian(unsigned char *p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Reverses the four bytes of each half of every block: the published byte
// order to this cipher's and back.
Bytes reverseHalves(Bytes bytes) {
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) std::reverse(bytes.begin() + i, bytes.begin() + i + 4);
  return bytes;
}

Bytes randomBytes(size_t n, unsigned seed) {
  std::mt19937 generator(seed);
  Bytes out(n);
  for (auto &b : out) b = static_cast<unsigned char>(generator());
  return out;
}

// The reference: every block that starts before count, one at a time through
// the public block operations.
void cryptOneBlockAtATime(const ScriptCipher &cipher, int encrypt, unsigned char *buffer, int32_t count) {
  for (int32_t offset = 0; offset < count; offset += 8) {
    uint32_t l = littleEndianWord(buffer + offset), r = littleEndianWord(buffer + offset + 4);
    if (encrypt) {
      cipher.encryptBlock(l, r);
    } else {
      cipher.decryptBlock(l, r);
    }
    putLittleEndian(buffer + offset, l);
    putLittleEndian(buffer + offset + 4, r);
  }
}

const ScriptCipher &shellCipher() {
  static ScriptCipher cipher;
  static bool keyed = false;
  if (!keyed) {
    keyScriptCipher(cipher);
    keyed = true;
  }
  return cipher;
}

struct Vector {
  const char *key, *plain, *cipher;
};

// Eric Young's Blowfish ECB test vectors (8-byte keys), as published.
const Vector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
};

// The published variable-key-length vectors: prefixes of one key.
const char kLongKey[] = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
const char kLongKeyPlain[] = "FEDCBA9876543210";
const char *const kLongKeyCipher[] = {"F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3",
                                      "BE1E639408640F05", "B39E44481BDB1E6E"};

TEST(ScriptCipherVectors, BlockOperationsOnWords) {
  for (const Vector &v : kEcbVectors) {
    SCOPED_TRACE(v.key);
    ScriptCipher cipher;
    Bytes key = fromHex(v.key), plain = fromHex(v.plain), expected = fromHex(v.cipher);
    cipher.scheduleKey(key.data(), key.size());
    uint32_t l = bigEndianWord(plain.data()), r = bigEndianWord(plain.data() + 4);
    cipher.encryptBlock(l, r);
    EXPECT_EQ(l, bigEndianWord(expected.data()));
    EXPECT_EQ(r, bigEndianWord(expected.data() + 4));
  }
}

TEST(ScriptCipherVectors, CryptThroughReversedHalves) {
  // Nine copies of the block: a whole interleaved run and a one-block tail.
  for (const Vector &v : kEcbVectors) {
    SCOPED_TRACE(v.key);
    ScriptCipher cipher;
    Bytes key = fromHex(v.key);
    cipher.scheduleKey(key.data(), key.size());
    Bytes buffer;
    for (int copy = 0; copy < 9; ++copy) {
      Bytes block = reverseHalves(fromHex(v.plain));
      buffer.insert(buffer.end(), block.begin(), block.end());
    }
    cipher.crypt(1, buffer.data(), static_cast<int32_t>(buffer.size()));
    Bytes expected = reverseHalves(fromHex(v.cipher));
    for (size_t offset = 0; offset < buffer.size(); offset += 8) {
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin() + offset)) << "block at " << offset;
    }
  }
}

TEST(ScriptCipherVectors, VariableKeyLengths) {
  Bytes longKey = fromHex(kLongKey);
  for (size_t length = 1; length <= sizeof kLongKeyCipher / sizeof kLongKeyCipher[0]; ++length) {
    SCOPED_TRACE(length);
    ScriptCipher cipher;
    cipher.scheduleKey(longKey.data(), length);
    Bytes block = reverseHalves(fromHex(kLongKeyPlain));
    cipher.crypt(1, block.data(), 8);
    EXPECT_EQ(reverseHalves(block), fromHex(kLongKeyCipher[length - 1]));
  }
}

TEST(ScriptCipherKey, SetKeyPlacesTheOverlayReversedAtTheEnd) {
  ScriptCipher cipher;
  Bytes base(cipher.keyBytes(), cipher.keyBytes() + ScriptCipher::kKeyLength);
  const char overlay[] = "ABCDEFGHIJKLMNO";
  EXPECT_EQ(cipher.setKey(overlay, 10), 1);
  const unsigned char *key = cipher.keyBytes();
  EXPECT_TRUE(std::equal(base.begin(), base.begin() + 34, key));
  for (int i = 0; i < 15; ++i) EXPECT_EQ(key[48 - i], static_cast<unsigned char>(overlay[i])) << i;

  // The schedule ran over exactly those 49 bytes.
  ScriptCipher reference;
  reference.scheduleKey(key, ScriptCipher::kKeyLength);
  uint32_t l1 = 0x01234567, r1 = 0x89abcdef, l2 = l1, r2 = r1;
  cipher.encryptBlock(l1, r1);
  reference.encryptBlock(l2, r2);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
}

TEST(ScriptCipherKey, SetKeyWithSmallerNPlacesNPlusFiveCharacters) {
  ScriptCipher cipher;
  Bytes base(cipher.keyBytes(), cipher.keyBytes() + ScriptCipher::kKeyLength);
  cipher.setKey("abcdefgh", 3);
  const unsigned char *key = cipher.keyBytes();
  EXPECT_TRUE(std::equal(base.begin(), base.begin() + 41, key));
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(key) + 41, 8), "hgfedcba");
}

TEST(ScriptCipherCrypt, RoundTripsWholeBlocks) {
  const ScriptCipher &cipher = shellCipher();
  for (size_t size : {8u, 64u, 72u, 4096u, 500000u}) {
    SCOPED_TRACE(size);
    Bytes original = randomBytes(size, static_cast<unsigned>(size));
    Bytes buffer = original;
    cipher.crypt(1, buffer.data(), static_cast<int32_t>(size));
    EXPECT_NE(buffer, original);
    cipher.crypt(0, buffer.data(), static_cast<int32_t>(size));
    EXPECT_EQ(buffer, original);
  }
}

TEST(ScriptCipherCrypt, EqualBlocksGiveEqualCiphertext) {
  const ScriptCipher &cipher = shellCipher();
  Bytes block = randomBytes(8, 7);
  Bytes buffer = randomBytes(8 * 40, 8);
  // The same block at offsets inside an interleaved run and in the tail.
  const size_t offsets[] = {0, 24, 128, 304, 312};
  for (size_t offset : offsets) std::copy(block.begin(), block.end(), buffer.begin() + offset);
  cipher.crypt(1, buffer.data(), static_cast<int32_t>(buffer.size()));
  Bytes first(buffer.begin(), buffer.begin() + 8);
  EXPECT_NE(first, block);
  for (size_t offset : offsets) {
    EXPECT_TRUE(std::equal(first.begin(), first.end(), buffer.begin() + offset)) << offset;
  }
  EXPECT_FALSE(std::equal(first.begin(), first.end(), buffer.begin() + 8));
}

TEST(ScriptCipherCrypt, CountZeroOrLessTransformsNothing) {
  const ScriptCipher &cipher = shellCipher();
  Bytes original = randomBytes(64, 3);
  for (int32_t count : {0, -1, -8, -2147483647 - 1}) {
    Bytes buffer = original;
    cipher.crypt(1, buffer.data(), count);
    cipher.crypt(0, buffer.data(), count);
    EXPECT_EQ(buffer, original) << count;
  }
}

TEST(ScriptCipherCrypt, CountOneTransformsTheWholeFirstBlockOnly) {
  const ScriptCipher &cipher = shellCipher();
  Bytes original = randomBytes(16, 4);
  Bytes one = original, eight = original;
  cipher.crypt(1, one.data(), 1);
  cipher.crypt(1, eight.data(), 8);
  EXPECT_EQ(one, eight);
  EXPECT_FALSE(std::equal(original.begin(), original.begin() + 8, one.begin()));
  EXPECT_TRUE(std::equal(original.begin() + 8, original.end(), one.begin() + 8));
}

// Every count from 0 to 200 (whole runs of blocks, partial runs, odd tails),
// both directions, against the one block reference; bytes past the last
// block touched stay as they were.
TEST(ScriptCipherCrypt, InterleavedPathMatchesOneBlockAtATime) {
  const ScriptCipher &cipher = shellCipher();
  const size_t kRoom = 200 + 8 + 16;
  for (int encrypt = 0; encrypt <= 1; ++encrypt) {
    for (int32_t count = 0; count <= 200; ++count) {
      SCOPED_TRACE(testing::Message() << "encrypt " << encrypt << " count " << count);
      Bytes original = randomBytes(kRoom, static_cast<unsigned>(count * 2 + encrypt));
      Bytes fast = original, reference = original;
      cipher.crypt(encrypt, fast.data(), count);
      cryptOneBlockAtATime(cipher, encrypt, reference.data(), count);
      ASSERT_EQ(fast, reference);
      size_t touched = (static_cast<size_t>(count) + 7) / 8 * 8;
      ASSERT_TRUE(std::equal(original.begin() + touched, original.end(), fast.begin() + touched));
    }
  }
}

TEST(ScriptCipherCrypt, UnalignedBuffers) {
  const ScriptCipher &cipher = shellCipher();
  Bytes storage = randomBytes(8 * 70 + 8, 11);
  for (size_t shift = 1; shift < 8; ++shift) {
    Bytes fast = storage, reference = storage;
    cipher.crypt(1, fast.data() + shift, 8 * 70);
    cryptOneBlockAtATime(cipher, 1, reference.data() + shift, 8 * 70);
    EXPECT_EQ(fast, reference) << shift;
  }
}

#if FIELDWISH_OPENSSL_REFERENCE
// OpenSSL keyed with the same 49 bytes gives the same bytes once each half
// is byte-reversed (decryption is covered by the vectors and round trips).
TEST(ScriptCipherOpenSsl, SameBytesUnderTheShellKey) {
  const ScriptCipher &cipher = shellCipher();
  BF_KEY key;
  BF_set_key(&key, ScriptCipher::kKeyLength, cipher.keyBytes());
  const int32_t kSize = 8 * 1000;
  Bytes ours = randomBytes(kSize, 12), ecb = reverseHalves(ours);
  cipher.crypt(1, ours.data(), kSize);
  for (int32_t offset = 0; offset < kSize; offset += 8) BF_ecb_encrypt(&ecb[offset], &ecb[offset], &key, BF_ENCRYPT);
  EXPECT_EQ(ours, reverseHalves(ecb));
}
#endif

}  // namespace
