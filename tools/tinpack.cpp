// tinpack: makes protected script files (.tin) from plain Tcl scripts and
// turns them back, with the same cipher, key and file format as the shell.
//
//   tinpack encrypt IN OUT    protect the plain script IN as OUT
//   tinpack decrypt IN OUT    write the plain text of the protected IN as OUT
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "crypt/script_cipher.h"
#include "crypt/script_file.h"
#include "crypt/script_key.h"
#include "platform/platform.h"

namespace {

const int32_t kBlock = 8;
// The largest text the shell's reader takes, padded to whole blocks.
const int32_t kLargestScript = ((kScriptBufferSize - 1) / kBlock) * kBlock;

int usage() {
  std::fprintf(stderr, "usage: tinpack encrypt|decrypt IN OUT\n");
  return 2;
}

int failure(const char *what, const char *path, const char *why) {
  std::fprintf(stderr, "tinpack: %s \"%s\": %s\n", what, path, why);
  return 1;
}

// Replaces the file at path as a whole: a write that fails (a full disk)
// leaves an earlier file there as it was.
int writeOutput(const char *path, const std::string &bytes) {
  std::string reason;
  if (!platform::replaceFile(path, bytes.data(), bytes.size(), &reason)) {
    return failure("cannot write", path, reason.c_str());
  }
  return 0;
}

enum class ReadOutcome { Read, CannotRead, TooLarge };

// Reads the whole file into bytes, but never more than limit + 1 bytes: a
// file past the limit (or an endless one, such as a device) is refused
// without being read to its end. why receives the system's reason.
ReadOutcome readAtMost(const char *path, size_t limit, std::vector<unsigned char> &bytes, int &why) {
  FILE *in = std::fopen(path, "rb");
  if (in == nullptr) {
    why = errno;
    return ReadOutcome::CannotRead;
  }
  bytes.resize(limit + 1);
  size_t n = std::fread(bytes.data(), 1, bytes.size(), in);
  bool failed = std::ferror(in) != 0;
  why = errno;
  std::fclose(in);
  bytes.resize(n);
  if (failed) return ReadOutcome::CannotRead;
  return n > limit ? ReadOutcome::TooLarge : ReadOutcome::Read;
}

int encryptFile(const ScriptCipher &cipher, const char *inPath, const char *outPath) {
  std::string reason;
  if (!platform::isRegularFile(inPath, &reason)) return failure("cannot read", inPath, reason.c_str());
  std::vector<unsigned char> text;
  int why = 0;
  switch (readAtMost(inPath, static_cast<size_t>(kLargestScript), text, why)) {
    case ReadOutcome::CannotRead:
      return failure("cannot read", inPath, std::strerror(why));
    case ReadOutcome::TooLarge: {
      char reason[128];
      std::snprintf(reason, sizeof reason, "the script is larger than the %d bytes the shell reads",
                    static_cast<int>(kLargestScript));
      return failure("cannot protect", inPath, reason);
    }
    case ReadOutcome::Read:
      break;
  }
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    return failure("cannot protect", inPath, "the script contains a NUL byte, where the shell would stop reading");
  }
  // Blanks fill the last block: harmless to Tcl, unlike NUL. An empty script
  // becomes one block of blanks, since the shell refuses a length of 0.
  size_t padded = (text.size() + kBlock - 1) / kBlock * kBlock;
  if (padded == 0) padded = kBlock;
  text.resize(padded, ' ');
  cipher.crypt(1, text.data(), static_cast<int32_t>(padded));
  return writeOutput(outPath, scriptFileBytes(text.data(), static_cast<int32_t>(padded), true));
}

int decryptFile(const ScriptCipher &cipher, const char *inPath, const char *outPath) {
  std::string reason;
  if (!platform::isRegularFile(inPath, &reason)) return failure("cannot read", inPath, reason.c_str());
  std::vector<unsigned char> buffer(kScriptBufferSize);
  ScriptReadError error;
  errno = 0;
  int32_t n = readScriptFile(inPath, buffer.data(), kScriptBufferSize, true, &error);
  if (n < 0) {
    // The system knows why a file cannot be opened or read.
    const bool systemReason = error == ScriptReadError::CannotOpen && errno != 0;
    return failure("cannot read", inPath, systemReason ? std::strerror(errno) : describeScriptReadError(error));
  }
  if (n % kBlock != 0) {
    return failure("cannot read", inPath, "the length prefix is not a whole number of 8-byte blocks");
  }
  cipher.crypt(0, buffer.data(), n);
  return writeOutput(outPath, scriptFileBytes(buffer.data(), n, false));
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 4) return usage();
  ScriptCipher cipher;
  keyScriptCipher(cipher);
  if (std::strcmp(argv[1], "encrypt") == 0) return encryptFile(cipher, argv[2], argv[3]);
  if (std::strcmp(argv[1], "decrypt") == 0) return decryptFile(cipher, argv[2], argv[3]);
  return usage();
}
