#include "support/aList.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The line numbers printed by the failed checks: fixed values rather than
// __LINE__, so that the messages stay the same when this file is edited.
const int kConstructorLine = 13;
const int kAtLine = 44;
const int kSetLine = 82;
const int kInsertAtLine = 87;
const int kRemoveAtLine = 96;

const int kFailedCheckStatus = 1;
const int32_t kResetCapacity = 5;

[[noreturn]] void failedCheck(const char *expression, int line) {
  std::fprintf(stderr, "aList:%d: check \"%s\" failed\n", line, expression);
  std::fflush(stderr);
  std::_Exit(kFailedCheckStatus);
}

// Storage for count elements. A size that does not fit in 32 bits (or a
// negative count) cannot be had, on a 64-bit build as on a 32-bit one.
int32_t *allocate(int64_t count) {
  if (count < 0 || count * 4 > static_cast<int64_t>(UINT32_MAX)) throw std::bad_alloc();
  return new int32_t[static_cast<size_t>(count)];
}

}  // namespace

#define ALIST_CHECK(condition, text, line) \
  do {                                     \
    if (!(condition)) failedCheck(text, line); \
  } while (0)

aList::aList(int32_t maxN) : _data(nullptr), _n(0), _maxN(0) {
  // The storage is requested first: a negative maxN fails as an oversized
  // request, 0 fails the check.
  _data = allocate(maxN);
  ALIST_CHECK(maxN > 0, "maxN>0", kConstructorLine);
  _maxN = maxN;
}

aList::aList(const aList &other) : _data(allocate(other._maxN)), _n(other._n), _maxN(other._maxN) {
  std::memcpy(_data, other._data, sizeof(int32_t) * static_cast<size_t>(_n));
}

aList::~aList() { delete[] _data; }

void aList::reset() {
  int32_t *fresh = allocate(kResetCapacity);
  delete[] _data;
  _data = fresh;
  _n = 0;
  _maxN = kResetCapacity;
}

int32_t aList::last() const { return at(_n - 1); }

int32_t aList::lastButOne() const { return at(_n - 2); }

int32_t aList::at(int32_t ind) const {
  ALIST_CHECK((ind >= 0) && (ind < _n), "(ind >= 0) && (ind < _n)", kAtLine);
  return _data[ind];
}

void aList::addIfAbsent(int32_t value) {
  for (int32_t i = 0; i < _n; ++i) {
    if (at(i) == value) return;
  }
  append(value);
}

void aList::shrinkToFit() {
  if (!(_maxN > _n && _n > 0)) return;
  int32_t *fitted = allocate(_n);
  std::memcpy(fitted, _data, sizeof(int32_t) * static_cast<size_t>(_n));
  delete[] _data;
  _data = fitted;
  _maxN = _n;
}

void aList::append(int32_t value) {
  if (_n >= _maxN) {
    // The new storage is had before anything changes, so a failed request
    // leaves the list as it was.
    int64_t doubled = static_cast<int64_t>(_maxN) * 2;
    int32_t *grown = allocate(doubled);
    std::memcpy(grown, _data, sizeof(int32_t) * static_cast<size_t>(_n));
    delete[] _data;
    _data = grown;
    _maxN = static_cast<int32_t>(doubled);
  }
  _data[_n] = value;
  ++_n;
}

void aList::set(int32_t ind, int32_t value) {
  ALIST_CHECK(_n > ind, "_n > ind", kSetLine);
  // The first check is the upper bound; a negative index fails the second,
  // which prints the same line with its own text.
  ALIST_CHECK(ind >= 0, "ind >= 0", kSetLine);
  _data[ind] = value;
}

void aList::insertAt(int32_t i, int32_t value) {
  ALIST_CHECK(_n > i && i >= 0, "_n > i && i >= 0", kInsertAtLine);
  append(value);
  for (int32_t k = _n - 1; k > i; --k) _data[k] = _data[k - 1];
  _data[i] = value;
}

void aList::removeAt(int32_t i) {
  ALIST_CHECK(_n > i && i >= 0, "_n > i && i >= 0", kRemoveAtLine);
  --_n;
  for (int32_t k = i; k < _n; ++k) _data[k] = _data[k + 1];
}

bool aList::contains(int32_t value) const {
  for (int32_t i = 0; i < _n; ++i) {
    if (_data[i] == value) return true;
  }
  return false;
}
