#include "shell/text_buffer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

char *allocateText(int32_t capacity) {
  // Out of memory ends the process, as every other allocation failure does.
  return new char[static_cast<size_t>(capacity)];
}

char foldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TextBuffer::TextBuffer(const char *initial) {
  size_t length = std::strlen(initial);
  if (length >= static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
  capacity_ = static_cast<int32_t>(length + 1);
  text_ = allocateText(capacity_);
  std::memcpy(text_, initial, length + 1);
}

TextBuffer::TextBuffer(int32_t capacity) : capacity_(capacity < 1 ? 1 : capacity), text_(allocateText(capacity_)) {
  // Start as the empty text so that append and print always see a terminator.
  text_[0] = '\0';
}

TextBuffer::TextBuffer(const TextBuffer &other) : capacity_(other.capacity_), text_(allocateText(capacity_)) {
  std::memcpy(text_, other.text_, static_cast<size_t>(capacity_));
}

TextBuffer::~TextBuffer() { delete[] text_; }

void TextBuffer::assign(const char *value) {
  text_[0] = '\0';
  append(value);
}

void TextBuffer::append(const char *value) {
  size_t current = std::strlen(text_);
  size_t extra = std::strlen(value);
  size_t needed = current + extra + 1;
  if (static_cast<size_t>(capacity_) < needed) {
    size_t steps = (needed - static_cast<size_t>(capacity_) + kGrowthStep - 1) / kGrowthStep;
    size_t grown = static_cast<size_t>(capacity_) + steps * kGrowthStep;
    if (grown > static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
    char *larger = allocateText(static_cast<int32_t>(grown));
    std::memcpy(larger, text_, current + 1);
    delete[] text_;
    text_ = larger;
    capacity_ = static_cast<int32_t>(grown);
  }
  std::memcpy(text_ + current, value, extra + 1);
}

bool TextBuffer::equalsIgnoreCase(const char *other) const {
  const char *a = text_;
  const char *b = other;
  while (*a != '\0' && foldCase(*a) == foldCase(*b)) {
    ++a;
    ++b;
  }
  return foldCase(*a) == foldCase(*b);
}

bool TextBuffer::equalsIgnoreCase(const TextBuffer &other) const { return equalsIgnoreCase(other.text_); }

void TextBuffer::print() const {
  if (text_ != nullptr) std::printf("%s\n", text_);
}
