// ScriptCipher: Blowfish (16 rounds, 64-bit blocks, ECB) over in-place byte
// buffers. Each 32-bit half of a block is read little-endian from its four
// bytes, the reverse of the byte order the published test vectors use.
#pragma once

#include <cstddef>
#include <cstdint>

class ScriptCipher {
 public:
  static const int kKeyLength = 49;
  static const int kOverlayLength = 15;

  // Puts the built-in key base into key; P and S stay unset until setKey.
  ScriptCipher();
  // Leaves the key buffer allocated: the one cipher object lives until the process exits.
  ~ScriptCipher() {}
  ScriptCipher(const ScriptCipher &) = delete;
  ScriptCipher &operator=(const ScriptCipher &) = delete;

  // Copies n + 5 overlay characters into key in reverse (character i to
  // position 48 - i), runs the key schedule over the 49 key bytes, returns 1.
  int setKey(const char *overlay, int n);

  // Runs the key schedule over any key (1 to 56 bytes are meaningful to
  // Blowfish); setKey uses it with the 49 key bytes.
  void scheduleKey(const unsigned char *keyBytes, size_t length);

  // Encrypts (encrypt != 0) or decrypts count bytes of buffer in place, block
  // by block. A count that is not a multiple of 8 transforms the whole last
  // block, so the buffer must have room up to the next multiple of 8.
  void crypt(int encrypt, unsigned char *buffer, int32_t count) const;

  void encryptBlock(uint32_t &left, uint32_t &right) const;
  void decryptBlock(uint32_t &left, uint32_t &right) const;

  // The 49 key bytes as they stand (base, or base with the overlay placed).
  const unsigned char *keyBytes() const { return key_; }

 private:
  uint32_t P_[18];
  uint32_t S_[4 * 256];
  unsigned char *key_;
};
