#include "crypt/script_file.h"

#include <cstdio>
#include <cstring>

#include "crypt/script_cipher.h"
#include "platform/platform.h"

namespace {

const int32_t kCipherBlock = 8;

// Closes the file on every way out.
class OpenFile {
 public:
  OpenFile(const char *path, const char *mode) : file_(platform::openFile(path, mode)) {}
  ~OpenFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  OpenFile(const OpenFile &) = delete;
  OpenFile &operator=(const OpenFile &) = delete;
  FILE *get() const { return file_; }
  // Closes now and tells whether everything written reached the file.
  bool close() {
    int rc = std::fclose(file_);
    file_ = nullptr;
    return rc == 0;
  }

 private:
  FILE *file_;
};

int32_t fail(ScriptReadError *error, ScriptReadError why) {
  if (error != nullptr) *error = why;
  return -1;
}

// The largest N a buffer of capacity bytes takes: room for the terminator
// after the text and for the whole last cipher block.
int32_t largestProtectedLength(int32_t capacity) {
  int32_t wholeBlocks = capacity - capacity % kCipherBlock;
  return wholeBlocks < capacity - 1 ? wholeBlocks : capacity - 1;
}

}  // namespace

int32_t readScriptFile(const char *path, unsigned char *buffer, int32_t capacity, bool isProtected,
                       ScriptReadError *error) {
  if (error != nullptr) *error = ScriptReadError::None;
  if (capacity < 1) return fail(error, ScriptReadError::TooLarge);
  OpenFile file(path, isProtected ? "rb" : "r");
  if (file.get() == nullptr) return fail(error, ScriptReadError::CannotOpen);

  if (!isProtected) {
    size_t n = std::fread(buffer, 1, static_cast<size_t>(capacity - 1), file.get());
    if (std::ferror(file.get())) return fail(error, ScriptReadError::CannotOpen);
    if (std::fgetc(file.get()) != EOF) return fail(error, ScriptReadError::TooLarge);
    return static_cast<int32_t>(n);
  }

  // A read error (a directory opens, but does not read) is not a short file.
  unsigned char header[4];
  if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) {
    return fail(error, std::ferror(file.get()) ? ScriptReadError::CannotOpen : ScriptReadError::Truncated);
  }
  uint32_t declared = static_cast<uint32_t>(header[0]) << 24 | static_cast<uint32_t>(header[1]) << 16 |
                      static_cast<uint32_t>(header[2]) << 8 | static_cast<uint32_t>(header[3]);
  int32_t n = static_cast<int32_t>(declared);
  if (n <= 0 || n > largestProtectedLength(capacity)) return fail(error, ScriptReadError::BadLength);
  if (std::fread(buffer, 1, static_cast<size_t>(n), file.get()) != static_cast<size_t>(n)) {
    return fail(error, std::ferror(file.get()) ? ScriptReadError::CannotOpen : ScriptReadError::Truncated);
  }
  return n;
}

void decryptScript(const ScriptCipher &cipher, unsigned char *buffer, int32_t count) {
  if (count <= 0) return;
  const int32_t partial = count % kCipherBlock;
  if (partial != 0) std::memset(buffer + count, 0, static_cast<size_t>(kCipherBlock - partial));
  cipher.crypt(0, buffer, count);
}

int32_t writeScriptFile(const char *path, const unsigned char *data, int32_t length, bool isProtected) {
  if (length < 0) return -1;
  const std::string bytes = scriptFileBytes(data, length, isProtected);
  OpenFile file(path, isProtected ? "wb" : "w");
  if (file.get() == nullptr) return -1;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return -1;
  if (!file.close()) return -1;
  return length;
}

std::string scriptFileBytes(const unsigned char *data, int32_t length, bool isProtected) {
  std::string bytes;
  if (length < 0) return bytes;
  if (isProtected) {
    const uint32_t n = static_cast<uint32_t>(length);
    const char header[4] = {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
                            static_cast<char>(n)};
    bytes.assign(header, sizeof header);
  }
  bytes.append(reinterpret_cast<const char *>(data), static_cast<size_t>(length));
  return bytes;
}

const char *describeScriptReadError(ScriptReadError error) {
  switch (error) {
    case ScriptReadError::None:
      return "no error";
    case ScriptReadError::CannotOpen:
      return "the file cannot be opened";
    case ScriptReadError::Truncated:
      return "the file is shorter than its length prefix says";
    case ScriptReadError::BadLength:
      return "the length prefix is zero, negative or larger than the script buffer";
    case ScriptReadError::TooLarge:
      return "the file is larger than the script buffer";
  }
  return "unknown error";
}
