#include "support/decimal_scan.h"

namespace {

// The white space "%d " skips (the "C" locale's).
bool isScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool scanDecimalWord(const char *word, int32_t *value) {
  if (word == nullptr) return false;
  const char *p = word;
  while (isScanSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (*p < '0' || *p > '9') return false;
  // Unsigned arithmetic wraps modulo 2^32.
  uint32_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) magnitude = magnitude * 10u + static_cast<uint32_t>(*p - '0');
  *value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
  return true;
}
