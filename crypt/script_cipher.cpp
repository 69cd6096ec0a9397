#include "crypt/script_cipher.h"

#include <cstring>

#include "fieldwish_secrets.h"

namespace {
#include "crypt/blowfish_tables.inc"

inline uint32_t loadHalf(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Built in a local array and copied in one piece, so that compilers make a
// single store of it (they leave four byte stores to the buffer as they are).
inline void storeHalf(unsigned char *p, uint32_t v) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                  static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  std::memcpy(p, bytes, sizeof bytes);
}

}  // namespace

// Blowfish's F: ((S0[a] + S1[b]) ^ S2[c]) + S3[d] over the bytes a (most
// significant) to d of x.
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

namespace {

// Blocks in flight per step of crypt. ECB has no chaining, so the blocks are
// independent; interleaving their rounds keeps several S-box lookups under
// way while each block waits on its own. Eight measured best on x86-64.
const int kBlocksInFlight = 8;

inline uint32_t rotateRight(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// F again, its bytes taken through rotations: compilers turn these into
// fewer instructions than shift-and-mask (and into rorx where BMI2 is on).
inline uint32_t roundFunction(const uint32_t *S, uint32_t x) {
  return ((S[rotateRight(x, 24) & 0xff] + S[256 + (rotateRight(x, 16) & 0xff)]) ^
          S[512 + (rotateRight(x, 8) & 0xff)]) +
         S[768 + (x & 0xff)];
}

// One block, with the rounds of encryptBlock (P[0..17]) or decryptBlock
// (P[17..0]).
template <bool kEncrypt>
inline void cryptBlock(const uint32_t *P, const uint32_t *S, unsigned char *block) {
  uint32_t l = loadHalf(block), r = loadHalf(block + 4);
  for (int round = 0; round < 16; round += 2) {
    l ^= kEncrypt ? P[round] : P[17 - round];
    r ^= roundFunction(S, l) ^ (kEncrypt ? P[round + 1] : P[16 - round]);
    l ^= roundFunction(S, r);
  }
  storeHalf(block, r ^ (kEncrypt ? P[17] : P[0]));
  storeHalf(block + 4, l ^ (kEncrypt ? P[16] : P[1]));
}

// The same rounds over `groups` runs of kBlocksInFlight consecutive blocks,
// one round of every block of a run before the next round of any.
template <bool kEncrypt>
inline __attribute__((always_inline)) void cryptGroupsBody(const uint32_t *P, const uint32_t *S,
                                                           unsigned char *bytes, uint32_t groups) {
  for (; groups > 0; --groups, bytes += 8 * kBlocksInFlight) {
    uint32_t l[kBlocksInFlight], r[kBlocksInFlight];
#pragma GCC unroll 8
    for (int k = 0; k < kBlocksInFlight; ++k) {
      l[k] = loadHalf(bytes + 8 * k);
      r[k] = loadHalf(bytes + 8 * k + 4);
    }
#pragma GCC unroll 8
    for (int round = 0; round < 16; round += 2) {
      const uint32_t first = kEncrypt ? P[round] : P[17 - round];
      const uint32_t second = kEncrypt ? P[round + 1] : P[16 - round];
#pragma GCC unroll 8
      for (int k = 0; k < kBlocksInFlight; ++k) l[k] ^= first;
#pragma GCC unroll 8
      for (int k = 0; k < kBlocksInFlight; ++k) r[k] ^= roundFunction(S, l[k]) ^ second;
#pragma GCC unroll 8
      for (int k = 0; k < kBlocksInFlight; ++k) l[k] ^= roundFunction(S, r[k]);
    }
#pragma GCC unroll 8
    for (int k = 0; k < kBlocksInFlight; ++k) {
      storeHalf(bytes + 8 * k, r[k] ^ (kEncrypt ? P[17] : P[0]));
      storeHalf(bytes + 8 * k + 4, l[k] ^ (kEncrypt ? P[16] : P[1]));
    }
  }
}

template <bool kEncrypt>
void cryptGroupsPortable(const uint32_t *P, const uint32_t *S, unsigned char *bytes, uint32_t groups) {
  cryptGroupsBody<kEncrypt>(P, S, bytes, groups);
}

// The same code compiled for x86 processors with BMI2, whose three-operand
// rotate saves a copy per byte taken: about a tenth faster. Chosen at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
template <bool kEncrypt>
__attribute__((target("bmi2"))) void cryptGroupsBmi2(const uint32_t *P, const uint32_t *S, unsigned char *bytes,
                                                      uint32_t groups) {
  cryptGroupsBody<kEncrypt>(P, S, bytes, groups);
}

bool processorHasBmi2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("bmi2");
}

template <bool kEncrypt>
void cryptGroups(const uint32_t *P, const uint32_t *S, unsigned char *bytes, uint32_t groups) {
  static const bool useBmi2 = processorHasBmi2();
  if (useBmi2) {
    cryptGroupsBmi2<kEncrypt>(P, S, bytes, groups);
  } else {
    cryptGroupsPortable<kEncrypt>(P, S, bytes, groups);
  }
}
#else
template <bool kEncrypt>
void cryptGroups(const uint32_t *P, const uint32_t *S, unsigned char *bytes, uint32_t groups) {
  cryptGroupsPortable<kEncrypt>(P, S, bytes, groups);
}
#endif

// Every block that starts before count, the last one possibly partial: whole
// runs of kBlocksInFlight first, then the rest one at a time.
template <bool kEncrypt>
void cryptBlocks(const uint32_t *P, const uint32_t *S, unsigned char *bytes, uint32_t blocks) {
  uint32_t groups = blocks / kBlocksInFlight;
  if (groups > 0) cryptGroups<kEncrypt>(P, S, bytes, groups);
  for (uint32_t done = groups * kBlocksInFlight; done < blocks; ++done) {
    cryptBlock<kEncrypt>(P, S, bytes + 8 * static_cast<size_t>(done));
  }
}

}  // namespace

void ScriptCipher::crypt(int encrypt, unsigned char *buffer, int32_t count) const {
  if (count <= 0) return;
  // Every block that starts before count, the last one possibly partial.
  uint32_t blocks = static_cast<uint32_t>((static_cast<int64_t>(count) + 7) / 8);
  if (encrypt) {
    cryptBlocks<true>(P_, S_, buffer, blocks);
  } else {
    cryptBlocks<false>(P_, S_, buffer, blocks);
  }
}
