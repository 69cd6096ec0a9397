// cipher_speed [MEGABYTES]: ScriptCipher's throughput in one plain program
// with no benchmark library, so that the same source runs as the Linux and
// the Windows (i686) build; bench/win32-bench.sh compares the two.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "crypt/script_cipher.h"
#include "crypt/script_key.h"

int main(int argc, char **argv) {
  const int32_t kBufferBytes = 500000;  // the protected-script buffer
  int megabytes = argc > 1 ? std::atoi(argv[1]) : 200;
  ScriptCipher cipher;
  keyScriptCipher(cipher);
  std::vector<unsigned char> buffer(kBufferBytes - kBufferBytes % 8);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i * 131 + 7);
  long long rounds = static_cast<long long>(megabytes) * 1000000 / static_cast<long long>(buffer.size()) + 1;
  for (int direction = 1; direction >= 0; --direction) {
    auto start = std::chrono::steady_clock::now();
    for (long long r = 0; r < rounds; ++r) cipher.crypt(direction, buffer.data(), static_cast<int32_t>(buffer.size()));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %.1f MB/s (checksum %u)\n", direction ? "encrypt" : "decrypt",
                static_cast<double>(rounds) * buffer.size() / seconds / 1e6, buffer[12345]);
  }
  return 0;
}
