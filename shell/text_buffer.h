// TextBuffer: a growable, NUL-terminated byte text. Growth is in steps of
// 256 bytes; every write is checked against the capacity.
#pragma once

#include <cstdint>

class TextBuffer {
 public:
  static const int32_t kDefaultCapacity = 256;
  static const int32_t kGrowthStep = 256;

  explicit TextBuffer(const char *initial);
  // An empty text with room for capacity bytes (at least 1).
  explicit TextBuffer(int32_t capacity = kDefaultCapacity);
  TextBuffer(const TextBuffer &other);
  TextBuffer &operator=(const TextBuffer &) = delete;
  ~TextBuffer();

  void assign(const char *value);
  void append(const char *value);
  bool equalsIgnoreCase(const char *other) const;
  bool equalsIgnoreCase(const TextBuffer &other) const;
  // Writes the text and a newline to standard output.
  void print() const;

  const char *text() const { return text_; }
  int32_t capacity() const { return capacity_; }

 private:
  int32_t capacity_;
  char *text_;
};
