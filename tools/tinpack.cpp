// tinpack: makes protected script files (.tin) from plain Tcl scripts and
// turns them back, with the same cipher, key and file format as the shell.
//
//   tinpack encrypt IN OUT    protect the plain script IN as OUT
//   tinpack decrypt IN OUT    write the plain text of the protected IN as OUT
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "crypt/script_cipher.h"
#include "crypt/script_file.h"
#include "crypt/script_key.h"

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

bool readWhole(const char *path, std::vector<unsigned char> &bytes) {
  FILE *in = std::fopen(path, "rb");
  if (in == nullptr) return false;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  bool ok = !std::ferror(in);
  std::fclose(in);
  return ok;
}

int encryptFile(const ScriptCipher &cipher, const char *inPath, const char *outPath) {
  std::vector<unsigned char> text;
  if (!readWhole(inPath, text)) return failure("cannot read", inPath, std::strerror(errno));
  if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
    return failure("cannot protect", inPath, "the script contains a NUL byte, where the shell would stop reading");
  }
  // Blanks fill the last block: harmless to Tcl, unlike NUL.
  size_t padded = (text.size() + kBlock - 1) / kBlock * kBlock;
  if (padded == 0) padded = kBlock;
  if (padded > static_cast<size_t>(kLargestScript)) {
    char why[128];
    std::snprintf(why, sizeof why, "the script has %zu bytes; the shell reads at most %d", text.size(),
                  static_cast<int>(kLargestScript));
    return failure("cannot protect", inPath, why);
  }
  text.resize(padded, ' ');
  cipher.crypt(1, text.data(), static_cast<int32_t>(padded));
  if (writeScriptFile(outPath, text.data(), static_cast<int32_t>(padded), true) < 0) {
    return failure("cannot write", outPath, std::strerror(errno));
  }
  return 0;
}

int decryptFile(const ScriptCipher &cipher, const char *inPath, const char *outPath) {
  std::vector<unsigned char> buffer(kScriptBufferSize);
  ScriptReadError error;
  int32_t n = readScriptFile(inPath, buffer.data(), kScriptBufferSize, true, &error);
  if (n < 0) return failure("cannot read", inPath, describeScriptReadError(error));
  if (n % kBlock != 0) {
    return failure("cannot read", inPath, "the length prefix is not a whole number of 8-byte blocks");
  }
  cipher.crypt(0, buffer.data(), n);
  if (writeScriptFile(outPath, buffer.data(), n, false) < 0) {
    return failure("cannot write", outPath, std::strerror(errno));
  }
  return 0;
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
