// The protected-file reader as CryptSource uses it: the input is the file,
// read into a buffer of a capacity the input also chooses, then decrypted in
// place. Oracle: a file is taken exactly when its length prefix N is from 1
// to the largest N the buffer takes and the file holds N bytes after it, and
// then the buffer holds those bytes; the text decrypts the same whatever the
// buffer held past it (a partial last block); nothing is read or written
// outside the buffer.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "crypt/script_cipher.h"
#include "crypt/script_file.h"
#include "crypt/script_key.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

ScriptCipher cipher;
std::string filePath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  keyScriptCipher(cipher);
  filePath = "/tmp/fieldwish-fuzz-script-" + std::to_string(getpid()) + ".tin";
  std::atexit([] { unlink(filePath.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  // Capacities from 1 to 1024: small enough to reach every limit quickly.
  const int32_t capacity = 1 + ((data[0] << 8 | data[1]) % 1024);
  data += 2;
  size -= 2;
  FILE *file = std::fopen(filePath.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
  std::fclose(file);

  // Exactly the capacity, so that the sanitizer sees any byte past it.
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[static_cast<size_t>(capacity)]);
  std::memset(buffer.get(), 0xA5, static_cast<size_t>(capacity));
  ScriptReadError error;
  const int32_t n = readScriptFile(filePath.c_str(), buffer.get(), capacity, true, &error);

  // The reference: a cipher block must fit whole, and a terminator after the text.
  int64_t declared = -1;
  if (size >= 4) declared = int64_t(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3];
  const int64_t largest = std::min<int64_t>(capacity - capacity % 8, capacity - 1);
  const bool expected = declared >= 1 && declared <= largest && declared <= 0x7fffffff &&
                        static_cast<int64_t>(size) - 4 >= declared;
  FUZZ_CHECK((n > 0) == expected);
  if (n > 0) {
    FUZZ_CHECK(n == declared && error == ScriptReadError::None);
    FUZZ_CHECK(std::memcmp(buffer.get(), data + 4, static_cast<size_t>(n)) == 0);
    // The same bytes in a buffer that held something else past them.
    std::unique_ptr<unsigned char[]> other(new unsigned char[static_cast<size_t>(capacity)]);
    std::memset(other.get(), 0x5A, static_cast<size_t>(capacity));
    std::memcpy(other.get(), data + 4, static_cast<size_t>(n));
    decryptScript(cipher, buffer.get(), n);
    decryptScript(cipher, other.get(), n);
    FUZZ_CHECK(std::memcmp(buffer.get(), other.get(), static_cast<size_t>(n)) == 0);
    buffer[n] = '\0';
  } else {
    FUZZ_CHECK(n == -1 && error != ScriptReadError::None);
  }

  // The plain reader takes at most capacity - 1 bytes, the file whole or not at all.
  const int32_t plain = readScriptFile(filePath.c_str(), buffer.get(), capacity, false);
  FUZZ_CHECK(plain == (static_cast<int64_t>(size) <= capacity - 1 ? static_cast<int32_t>(size) : -1));
  return 0;
}
