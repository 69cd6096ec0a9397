// Helpers shared by the fuzz targets: the input cut into words, and a check
// that stops the run with a message the corpus replay and `make fuzz` show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// The input as words, each ending at a newline (the last one at the end).
inline std::vector<std::string> splitWords(const uint8_t *data, size_t size) {
  std::vector<std::string> words(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      words.emplace_back();
    } else {
      words.back().push_back(static_cast<char>(data[i]));
    }
  }
  return words;
}

}  // namespace fuzz

// A failed oracle: reported, then aborted so that libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)
