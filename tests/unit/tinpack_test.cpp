// tinpack as a user runs it: the built tool on real files, its exit status
// and its messages. What it writes is checked with the shell's own reader,
// cipher and key, so a tinpack that drifted from the shell would fail here.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"
#include "crypt/script_file.h"
#include "crypt/script_key.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::string kTinpack = std::string(FIELDWISH_BUILD_DIR) + "/bin/tinpack";

struct Outcome {
  int status;          // exit status, or -1 when the tool did not exit normally
  std::string output;  // standard output and standard error together
};

class TinpackTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(access(kTinpack.c_str(), X_OK), 0) << "build tinpack first: " << kTinpack;
    std::string pattern = testing::TempDir() + "tinpack_test.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    dir_ = name.data();
    keyScriptCipher(cipher_);
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string path(const std::string &name) const { return dir_ + "/" + name; }

  std::string write(const std::string &name, const Bytes &bytes) const {
    std::string p = path(name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::string write(const std::string &name, const std::string &text) const {
    return write(name, Bytes(text.begin(), text.end()));
  }

  static Bytes read(const std::string &p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static bool exists(const std::string &p) { return access(p.c_str(), F_OK) == 0; }

  // Runs tinpack with the given words (paths here hold no quotes), after the
  // shell commands in `before`; a tinpack still running after 20 s is stopped.
  static Outcome run(const std::vector<std::string> &words, const std::string &before = "") {
    std::string command = before + "exec timeout 20 '" + kTinpack + "'";
    for (const std::string &w : words) command += " '" + w + "'";
    command += " 2>&1";
    Outcome outcome{-1, ""};
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char chunk[512];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) outcome.output.append(chunk, n);
    int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
    return outcome;
  }

  // The plain text of a protected file as the shell would see it.
  std::string reveal(const std::string &p) {
    Bytes buffer(kScriptBufferSize);
    int32_t n = readScriptFile(p.c_str(), buffer.data(), kScriptBufferSize, true);
    if (n < 0) return "<unreadable>";
    cipher_.crypt(0, buffer.data(), n);
    return std::string(buffer.begin(), buffer.begin() + n);
  }

  std::string dir_;
  ScriptCipher cipher_;
};

// The declared length of a protected file.
int64_t declaredLength(const Bytes &file) {
  if (file.size() < 4) return -1;
  return static_cast<int64_t>(file[0]) << 24 | file[1] << 16 | file[2] << 8 | file[3];
}

// Padding is blanks, never NUL; an empty script becomes one block of blanks.
TEST_F(TinpackTest, EncryptThenDecryptRoundTrips) {
  const std::string scripts[] = {
      "", "x", std::string(7, 'x'), std::string(8, 'x'), std::string(9, 'x'),
      "proc greet {who} {\n    return \"hello, $who\"\n}\r\nset t [greet world]; # \xc3\xa9t\xc3\xa9\n",
  };
  for (const std::string &text : scripts) {
    SCOPED_TRACE(text);
    std::string in = write("in.tcl", text), tin = path("out.tin"), back = path("back.tcl");
    Outcome encrypted = run({"encrypt", in, tin});
    EXPECT_EQ(encrypted.status, 0) << encrypted.output;
    EXPECT_EQ(encrypted.output, "");
    size_t padded = text.empty() ? 8 : (text.size() + 7) / 8 * 8;
    const std::string plain = text + std::string(padded - text.size(), ' ');
    Bytes file = read(tin);
    EXPECT_EQ(declaredLength(file), static_cast<int64_t>(padded));
    EXPECT_EQ(file.size(), 4 + padded);
    // The shell's own reader, cipher and key give the text back.
    EXPECT_EQ(reveal(tin), plain);

    Outcome decrypted = run({"decrypt", tin, back});
    EXPECT_EQ(decrypted.status, 0) << decrypted.output;
    Bytes written = read(back);
    EXPECT_EQ(std::string(written.begin(), written.end()), plain);
  }
}

TEST_F(TinpackTest, NulInTheScriptIsRefused) {
  std::string in = write("nul.tcl", std::string("puts a\0puts b\n", 14)), tin = path("nul.tin");
  Outcome outcome = run({"encrypt", in, tin});
  EXPECT_NE(outcome.status, 0);
  EXPECT_NE(outcome.output.find("NUL"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find(in), std::string::npos) << outcome.output;
  EXPECT_FALSE(exists(tin));
}

TEST_F(TinpackTest, LargestScriptTheShellReads) {
  // 499,992 bytes is the largest whole number of blocks below the shell's
  // 500,000-byte buffer (which keeps one byte for the terminator).
  std::string tin = path("max.tin");
  Outcome fits = run({"encrypt", write("max.tcl", std::string(499992, '#')), tin});
  EXPECT_EQ(fits.status, 0) << fits.output;
  EXPECT_EQ(declaredLength(read(tin)), 499992);

  std::string over = path("over.tin");
  Outcome tooLarge = run({"encrypt", write("over.tcl", std::string(499993, '#')), over});
  EXPECT_NE(tooLarge.status, 0);
  EXPECT_NE(tooLarge.output.find("larger than"), std::string::npos) << tooLarge.output;
  EXPECT_FALSE(exists(over));
}

TEST_F(TinpackTest, MalformedProtectedFilesAreRefused) {
  struct Case {
    const char *what;
    Bytes file;
    const char *reason;  // a fragment of the message
  };
  const Case cases[] = {
      // Every kind of malformed file is in script_file_test; one of each message here.
      {"truncated data", {0, 0, 0, 16, 1, 2, 3}, "shorter"},
      {"length past the buffer", {0x00, 0x07, 0xA1, 0x20, 1, 2, 3, 4, 5, 6, 7, 8}, "length prefix"},
      {"length not whole blocks", {0, 0, 0, 5, 1, 2, 3, 4, 5, 6, 7, 8}, "8-byte blocks"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string in = write("bad.tin", c.file), out = path("bad.tcl");
    Outcome outcome = run({"decrypt", in, out});
    EXPECT_NE(outcome.status, 0);
    EXPECT_NE(outcome.output.find(in), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find(c.reason), std::string::npos) << outcome.output;
    EXPECT_FALSE(exists(out));
  }
}

TEST_F(TinpackTest, UnreadableInputIsReported) {
  ASSERT_EQ(mkdir(path("folder").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
  for (const char *verb : {"encrypt", "decrypt"}) {
    SCOPED_TRACE(verb);
    Outcome missing = run({verb, path("absent.tcl"), path("out")});
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.output.find("cannot read"), std::string::npos) << missing.output;
    EXPECT_NE(missing.output.find(path("absent.tcl")), std::string::npos) << missing.output;
    EXPECT_NE(missing.output.find("No such file"), std::string::npos) << missing.output;

    // Neither a directory nor a FIFO without a writer (which would block the
    // open for ever) is read.
    for (const char *name : {"folder", "fifo"}) {
      Outcome refused = run({verb, path(name), path("out")});
      EXPECT_EQ(refused.status, 1) << name;
      EXPECT_NE(refused.output.find("cannot read"), std::string::npos) << refused.output;
      EXPECT_NE(refused.output.find("not a regular file"), std::string::npos) << refused.output;
      EXPECT_FALSE(exists(path("out")));
    }
  }
}

// A write that fails part-way (here at the file size limit, as on a full
// disk) leaves the earlier output exactly as it was, and no temporary file.
TEST_F(TinpackTest, FailedWriteKeepsTheOldOutput) {
  const std::string old = "the earlier output\n";
  for (const char *verb : {"encrypt", "decrypt"}) {
    SCOPED_TRACE(verb);
    std::string in = write("big.tcl", std::string(200000, '#'));
    if (std::string(verb) == "decrypt") {
      ASSERT_EQ(run({"encrypt", in, path("big.tin")}).status, 0);
      in = path("big.tin");
    }
    std::string out = write("out", old);
    Outcome outcome = run({verb, in, out}, "trap '' XFSZ; ulimit -f 64; ");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.output.find("cannot write"), std::string::npos) << outcome.output;
    Bytes kept = read(out);
    EXPECT_TRUE(std::string(kept.begin(), kept.end()) == old) << "the old output became " << kept.size() << " bytes";
    EXPECT_EQ(std::system(("test $(ls '" + dir_ + "' | grep -c ^out) -eq 1").c_str()), 0) << "a temporary file is left";
  }
}

TEST_F(TinpackTest, UnwritableOutputIsReported) {
  std::string in = write("ok.tcl", "puts ok\n");
  Outcome outcome = run({"encrypt", in, path("no/such/dir/out.tin")});
  EXPECT_NE(outcome.status, 0);
  EXPECT_NE(outcome.output.find("cannot write"), std::string::npos) << outcome.output;
}

TEST_F(TinpackTest, WrongWordsShowTheUsage) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"encrypt"}, {"encrypt", "a"}, {"encrypt", "a", "b", "c"}, {"pack", "a", "b"}};
  for (const auto &words : wrong) {
    Outcome outcome = run(words);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.output.find("usage: tinpack encrypt|decrypt IN OUT"), std::string::npos) << outcome.output;
  }
}

}  // namespace
