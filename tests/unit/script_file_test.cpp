// The protected script file reader and writer: well-formed files, every kind
// of malformed one, plain mode, and the guarantee that nothing is stored past
// the caller's buffer.
#include "crypt/script_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"


namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char kGuard = 0xA5;

Bytes counting(size_t n) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(i * 7 + 1);
  return out;
}

Bytes framed(uint32_t declared, const Bytes &data) {
  Bytes bytes(4 + data.size());
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(declared >> (24 - 8 * i));
  std::copy(data.begin(), data.end(), bytes.begin() + 4);
  return bytes;
}

class ScriptFileTest : public testing::Test {
 protected:
  // A fresh folder per case; a name already taken is passed over.
  void SetUp() override {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
      std::filesystem::path candidate =
          std::filesystem::path(testing::TempDir()) / ("script_file_test." + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) dir_ = candidate.generic_string();
    }
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string path(const std::string &name) const { return dir_ + "/" + name; }

  std::string writeRaw(const std::string &name, const Bytes &bytes) const {
    std::string p = path(name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

  static Bytes readRaw(const std::string &p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // A protected file whose length prefix says declared and that holds data.
  std::string protectedFile(const std::string &name, uint32_t declared, const Bytes &data) const {
    return writeRaw(name, framed(declared, data));
  }

  // Reads into a buffer of capacity bytes followed by guard bytes, and checks
  // that the guard is untouched whatever the outcome.
  int32_t readGuarded(const std::string &p, int32_t capacity, bool isProtected, ScriptReadError *error,
                      Bytes *contents = nullptr) {
    Bytes buffer(static_cast<size_t>(capacity) + 64, kGuard);
    int32_t n = readScriptFile(p.c_str(), buffer.data(), capacity, isProtected, error);
    for (size_t i = static_cast<size_t>(capacity); i < buffer.size(); ++i) {
      EXPECT_EQ(buffer[i], kGuard) << "stored past the buffer at " << i;
    }
    if (contents != nullptr) *contents = buffer;
    return n;
  }

  std::string dir_;
};

TEST_F(ScriptFileTest, WriterFramesTheDataWithABigEndianLength) {
  Bytes data = counting(0x10208);
  std::string p = path("a.tin");
  EXPECT_EQ(writeScriptFile(p.c_str(), data.data(), static_cast<int32_t>(data.size()), true), 0x10208);
  Bytes file = readRaw(p);
  ASSERT_EQ(file.size(), 4 + data.size());
  EXPECT_EQ(file[0], 0x00);
  EXPECT_EQ(file[1], 0x01);
  EXPECT_EQ(file[2], 0x02);
  EXPECT_EQ(file[3], 0x08);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin() + 4));
}

TEST_F(ScriptFileTest, WellFormedFilesReadBack) {
  for (size_t size : {8u, 16u, 4096u, 499992u}) {
    SCOPED_TRACE(size);
    Bytes data = counting(size);
    std::string p = path("well.tin");
    ASSERT_EQ(writeScriptFile(p.c_str(), data.data(), static_cast<int32_t>(size), true), static_cast<int32_t>(size));
    ScriptReadError error = ScriptReadError::CannotOpen;
    Bytes contents;
    EXPECT_EQ(readGuarded(p, kScriptBufferSize, true, &error, &contents), static_cast<int32_t>(size));
    EXPECT_EQ(error, ScriptReadError::None);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), contents.begin()));
    EXPECT_EQ(contents[size], kGuard);  // nothing beyond N is written
  }
}

TEST_F(ScriptFileTest, BytesAfterTheDeclaredLengthAreIgnored) {
  Bytes data = counting(8 + 5);
  Bytes contents;
  ScriptReadError error;
  EXPECT_EQ(readGuarded(protectedFile("tail.tin", 8, data), 64, true, &error, &contents), 8);
  EXPECT_EQ(error, ScriptReadError::None);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 8, contents.begin()));
  for (size_t i = 8; i < 64; ++i) EXPECT_EQ(contents[i], kGuard) << i;
}

TEST_F(ScriptFileTest, LengthNotAMultipleOfEightIsReadAsDeclared) {
  // Only whole blocks decrypt, but the reader's job is the framing; it still
  // leaves room for the cipher's whole last block.
  ScriptReadError error;
  EXPECT_EQ(readGuarded(protectedFile("odd.tin", 13, counting(13)), 64, true, &error), 13);
  EXPECT_EQ(error, ScriptReadError::None);
  // 13 bytes need 16 for the last block: a 14-byte buffer cannot take them.
  EXPECT_EQ(readGuarded(protectedFile("odd.tin", 13, counting(13)), 14, true, &error), -1);
  EXPECT_EQ(error, ScriptReadError::BadLength);
}

// Whatever an earlier call left after the last byte, a partial last block
// decrypts as if padded with zero bytes.
TEST(DecryptScriptTest, PartialLastBlockIsPaddedWithZeros) {
  ScriptCipher cipher;
  const Bytes key = counting(ScriptCipher::kKeyLength);
  cipher.scheduleKey(key.data(), key.size());
  Bytes expected = counting(16);
  std::fill(expected.begin() + 12, expected.end(), 0);
  cipher.crypt(0, expected.data(), 16);
  for (unsigned char leftover : {0x00, 0x55, 0xAA}) {
    Bytes buffer = counting(16);
    std::fill(buffer.begin() + 12, buffer.end(), leftover);
    decryptScript(cipher, buffer.data(), 12);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 12, expected.begin())) << int(leftover);
  }
}

TEST_F(ScriptFileTest, LargestLengthTheScriptBufferTakes) {
  ScriptReadError error;
  EXPECT_EQ(readGuarded(protectedFile("max.tin", 499999, counting(499999)), kScriptBufferSize, true, &error),
            499999);
  EXPECT_EQ(error, ScriptReadError::None);
  EXPECT_EQ(readGuarded(protectedFile("over.tin", 500000, counting(500000)), kScriptBufferSize, true, &error), -1);
  EXPECT_EQ(error, ScriptReadError::BadLength);
}

TEST_F(ScriptFileTest, MalformedProtectedFilesAreRefused) {
  struct Case {
    const char *what;
    Bytes file;
    ScriptReadError why;
  };
  const Case cases[] = {
      {"empty file", {}, ScriptReadError::Truncated},
      {"partial length prefix", {0x00, 0x00, 0x08}, ScriptReadError::Truncated},
      {"length with no data", framed(16, counting(0)), ScriptReadError::Truncated},
      // Never read with filler bytes in place of the missing ones.
      {"data shorter than the length", framed(16, counting(15)), ScriptReadError::Truncated},
      {"length 0", framed(0, counting(8)), ScriptReadError::BadLength},
      {"length -1", framed(0xFFFFFFFFu, counting(8)), ScriptReadError::BadLength},
      {"length -2^31", framed(0x80000000u, counting(8)), ScriptReadError::BadLength},
      {"length 2^31 - 1", framed(0x7FFFFFFFu, counting(8)), ScriptReadError::BadLength},
      {"length just past the buffer", framed(500000, counting(16)), ScriptReadError::BadLength},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    ScriptReadError error = ScriptReadError::None;
    Bytes contents;
    EXPECT_EQ(readGuarded(writeRaw("bad.tin", c.file), kScriptBufferSize, true, &error, &contents), -1);
    EXPECT_EQ(error, c.why);
  }
}

TEST_F(ScriptFileTest, MissingFilesAndDirectoriesCannotBeOpened) {
  ASSERT_TRUE(std::filesystem::create_directory(path("folder.tin")));
  for (bool isProtected : {true, false}) {
    for (const char *name : {"absent.tin", "folder.tin"}) {
      ScriptReadError error = ScriptReadError::None;
      EXPECT_EQ(readGuarded(path(name), 64, isProtected, &error), -1) << name;
      EXPECT_EQ(error, ScriptReadError::CannotOpen) << name;
    }
  }
  // The error argument is optional.
  Bytes buffer(64);
  EXPECT_EQ(readScriptFile(path("absent.tin").c_str(), buffer.data(), 64, true), -1);
}

TEST_F(ScriptFileTest, PlainModeReadsTheTextAsItIs) {
  std::string text = "puts hello\nset x {a b}\n";
  std::string p = path("plain.tcl");
  EXPECT_EQ(writeScriptFile(p.c_str(), reinterpret_cast<const unsigned char *>(text.data()),
                            static_cast<int32_t>(text.size()), false),
            static_cast<int32_t>(text.size()));
  // No length prefix; text mode writes the platform's line ends (CR LF on Windows).
  Bytes raw = readRaw(p);
  for (size_t i = 0; i + 1 < raw.size(); ++i) {
    if (raw[i] == '\r' && raw[i + 1] == '\n') raw.erase(raw.begin() + static_cast<long>(i));
  }
  EXPECT_EQ(raw, Bytes(text.begin(), text.end()));
  ScriptReadError error;
  Bytes contents;
  EXPECT_EQ(readGuarded(p, 100, false, &error, &contents), static_cast<int32_t>(text.size()));
  EXPECT_EQ(error, ScriptReadError::None);
  EXPECT_EQ(std::string(contents.begin(), contents.begin() + static_cast<long>(text.size())), text);
}

TEST_F(ScriptFileTest, PlainModeLimitsAndEmptyFile) {
  ScriptReadError error;
  // capacity - 1 bytes fit (one byte stays for the terminator); one more does not.
  EXPECT_EQ(readGuarded(writeRaw("fits.tcl", Bytes(99, 'x')), 100, false, &error), 99);
  EXPECT_EQ(error, ScriptReadError::None);
  EXPECT_EQ(readGuarded(writeRaw("big.tcl", Bytes(100, 'x')), 100, false, &error), -1);
  EXPECT_EQ(error, ScriptReadError::TooLarge);
  EXPECT_EQ(readGuarded(writeRaw("empty.tcl", Bytes()), 100, false, &error), 0);
  EXPECT_EQ(error, ScriptReadError::None);
}

TEST_F(ScriptFileTest, WriterFailures) {
  Bytes data = counting(16);
  EXPECT_EQ(writeScriptFile(path("no/such/dir/a.tin").c_str(), data.data(), 16, true), -1);
  EXPECT_EQ(writeScriptFile(path("no/such/dir/a.tcl").c_str(), data.data(), 16, false), -1);
  EXPECT_EQ(writeScriptFile(path("negative.tin").c_str(), data.data(), -1, true), -1);
  // A protected file of no data is written as just its prefix, which the
  // reader then refuses.
  std::string p = path("zero.tin");
  EXPECT_EQ(writeScriptFile(p.c_str(), data.data(), 0, true), 0);
  EXPECT_EQ(readRaw(p), Bytes(4, 0));
  ScriptReadError error;
  EXPECT_EQ(readGuarded(p, 64, true, &error), -1);
  EXPECT_EQ(error, ScriptReadError::BadLength);
}

}  // namespace
