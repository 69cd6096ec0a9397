// aList: a growable list of 32-bit signed integers in one owned array.
// Adding to a full list doubles its capacity. Index operations are guarded by
// checks; a failed check prints one line on standard error,
//   aList:LINE: check "EXPRESSION" failed
// and ends the process with exit status 1 (the status of every fatal
// condition of the shell). Storage requests that cannot be met raise
// std::bad_alloc; the list is then left exactly as it was.
#pragma once

#include <cstdint>

class aList {
 public:
  // An empty list with room for maxN elements; maxN must be positive.
  explicit aList(int32_t maxN);
  // A deep copy: same count, same capacity, storage of its own.
  aList(const aList &other);
  // No assignment: a member-wise copy would share the storage.
  aList &operator=(const aList &) = delete;
  ~aList();

  // Empties the list and gives it fresh storage for 5 elements.
  void reset();

  int32_t last() const;
  int32_t lastButOne() const;
  int32_t at(int32_t ind) const;

  void addIfAbsent(int32_t value);
  // Cuts the capacity down to the count, when the list is not empty.
  void shrinkToFit();
  void append(int32_t value);
  void set(int32_t ind, int32_t value);
  // Puts value before the element now at index i (0 <= i < size()).
  void insertAt(int32_t i, int32_t value);
  void removeAt(int32_t i);
  bool contains(int32_t value) const;
  int32_t size() const { return _n; }
  int32_t capacity() const { return _maxN; }

 private:
  int32_t *_data;
  int32_t _n;
  int32_t _maxN;
};
