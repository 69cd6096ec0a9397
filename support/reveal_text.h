// ObfuscatedText: a name kept in the executable as one 32-bit word per
// character (character code + index), then a zero word, then the count.
#pragma once

#include <cstdint>

// Returns a newly allocated (new[]) NUL-terminated text of count characters;
// character i is the low eight bits of words[i] - i.
char *RevealText(const uint32_t *words, int count);

// The character count stored after an ObfuscatedText's zero word.
int ObfuscatedLength(const uint32_t *words);
