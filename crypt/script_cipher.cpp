#include "crypt/script_cipher.h"

#include <cstring>

#include "fieldwish_secrets.h"

namespace {
#include "crypt/blowfish_tables.inc"

inline uint32_t loadHalf(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

inline void storeHalf(unsigned char *p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace

#define FIELDWISH_F(S, x) \
  ((((S)[(x) >> 24] + (S)[256 + (((x) >> 16) & 0xff)]) ^ (S)[512 + (((x) >> 8) & 0xff)]) + (S)[768 + ((x)&0xff)])

ScriptCipher::ScriptCipher() : key_(new unsigned char[kKeyLength]) {
  std::memcpy(key_, secrets::kKeyBaseRunA, sizeof secrets::kKeyBaseRunA);
  std::memcpy(key_ + sizeof secrets::kKeyBaseRunA, secrets::kKeyBaseRunB, sizeof secrets::kKeyBaseRunB);
  std::memset(P_, 0, sizeof P_);
  std::memset(S_, 0, sizeof S_);
}

int ScriptCipher::setKey(const char *overlay, int n) {
  for (int i = 0; i <= n + 4 && i < kKeyLength; ++i) {
    key_[kKeyLength - 1 - i] = static_cast<unsigned char>(overlay[i]);
  }
  scheduleKey(key_, kKeyLength);
  return 1;
}

void ScriptCipher::scheduleKey(const unsigned char *keyBytes, size_t length) {
  std::memcpy(S_, kInitialS, sizeof S_);
  size_t next = 0;
  for (int i = 0; i < 18; ++i) {
    uint32_t w = 0;
    for (int b = 0; b < 4; ++b) {
      w = (w << 8) | keyBytes[next];
      next = (next + 1) % length;
    }
    P_[i] = kInitialP[i] ^ w;
  }
  uint32_t left = 0, right = 0;
  for (int i = 0; i < 18; i += 2) {
    encryptBlock(left, right);
    P_[i] = left;
    P_[i + 1] = right;
  }
  for (int i = 0; i < 4 * 256; i += 2) {
    encryptBlock(left, right);
    S_[i] = left;
    S_[i + 1] = right;
  }
}

void ScriptCipher::encryptBlock(uint32_t &left, uint32_t &right) const {
  uint32_t l = left, r = right;
  for (int i = 0; i < 16; i += 2) {
    l ^= P_[i];
    r ^= FIELDWISH_F(S_, l);
    r ^= P_[i + 1];
    l ^= FIELDWISH_F(S_, r);
  }
  left = r ^ P_[17];
  right = l ^ P_[16];
}

void ScriptCipher::decryptBlock(uint32_t &left, uint32_t &right) const {
  uint32_t l = left, r = right;
  for (int i = 17; i > 1; i -= 2) {
    l ^= P_[i];
    r ^= FIELDWISH_F(S_, l);
    r ^= P_[i - 1];
    l ^= FIELDWISH_F(S_, r);
  }
  left = r ^ P_[0];
  right = l ^ P_[1];
}

void ScriptCipher::crypt(int encrypt, unsigned char *buffer, int32_t count) const {
  for (int32_t offset = 0; offset < count; offset += 8) {
    uint32_t left = loadHalf(buffer + offset);
    uint32_t right = loadHalf(buffer + offset + 4);
    if (encrypt) {
      encryptBlock(left, right);
    } else {
      decryptBlock(left, right);
    }
    storeHalf(buffer + offset, left);
    storeHalf(buffer + offset + 4, right);
  }
}
