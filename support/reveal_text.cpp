#include "support/reveal_text.h"

char *RevealText(const uint32_t *words, int count) {
  if (count < 0) count = 0;
  char *text = new char[static_cast<unsigned>(count) + 1];
  for (int i = 0; i < count; ++i) {
    text[i] = static_cast<char>((words[i] - static_cast<uint32_t>(i)) & 0xffu);
  }
  text[count] = '\0';
  return text;
}

int ObfuscatedLength(const uint32_t *words) {
  int i = 0;
  while (words[i] != 0) ++i;
  return static_cast<int>(words[i + 1]);
}
