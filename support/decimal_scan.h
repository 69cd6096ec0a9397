// The decimal number at the start of a word, read as the scan format "%d "
// reads it: white space skipped, an optional sign, decimal digits; whatever
// follows the digits is ignored ("8abc" is 8, "1.5" is 1, "0x10" is 0).
// Shared by every command that takes numbers from words this way.
#pragma once

#include <cstdint>

// Stores the number in *value and returns true, or returns false (value
// untouched) when the word has no digits where the number should start.
// Digits beyond 32 bits wrap instead of overflowing: the value is always the
// low 32 bits of the written number, so its low bytes are exact.
bool scanDecimalWord(const char *word, int32_t *value);
