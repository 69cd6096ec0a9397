#include "support/aList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <type_traits>
#include <vector>

// Array storage requests can be made to fail, to see the list's state after
// a failed request. Only aList allocates arrays of int32_t while the switch is on.
namespace {
bool failArrayRequests = false;
}

void *operator new[](std::size_t size) {
  if (failArrayRequests) throw std::bad_alloc();
  if (void *p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace {

struct FailingRequests {
  FailingRequests() { failArrayRequests = true; }
  ~FailingRequests() { failArrayRequests = false; }
};

std::vector<int32_t> elements(const aList &list) {
  std::vector<int32_t> out;
  for (int32_t i = 0; i < list.size(); ++i) out.push_back(list.at(i));
  return out;
}

aList listOf(std::initializer_list<int32_t> values, int32_t capacity) {
  aList list(capacity);
  for (int32_t v : values) list.append(v);
  return list;
}

using Values = std::vector<int32_t>;

TEST(AListTest, AppendDoublesFromTheGivenCapacity) {
  aList list(1);
  std::vector<int32_t> capacities;
  for (int32_t v = 0; v < 9; ++v) {
    list.append(v * 10);
    capacities.push_back(list.capacity());
  }
  EXPECT_EQ(capacities, (Values{1, 2, 4, 4, 8, 8, 8, 8, 16}));
  EXPECT_EQ(elements(list), (Values{0, 10, 20, 30, 40, 50, 60, 70, 80}));
  EXPECT_EQ(list.size(), 9);
}

TEST(AListTest, ResetLeavesAnEmptyListOfCapacityFiveThatGrowsFromThere) {
  aList list(64);
  for (int32_t v = 0; v < 100; ++v) list.append(v);
  list.reset();
  EXPECT_EQ(list.size(), 0);
  EXPECT_EQ(list.capacity(), 5);
  std::vector<int32_t> capacities;
  for (int32_t v = 0; v < 21; ++v) {
    list.append(v);
    capacities.push_back(list.capacity());
  }
  EXPECT_EQ(capacities.at(4), 5);
  EXPECT_EQ(capacities.at(5), 10);
  EXPECT_EQ(capacities.at(10), 20);
  EXPECT_EQ(capacities.at(20), 40);
}

TEST(AListTest, LastAndLastButOne) {
  aList list = listOf({7, -3, 12}, 2);
  EXPECT_EQ(list.last(), 12);
  EXPECT_EQ(list.lastButOne(), -3);
  EXPECT_EQ(list.at(0), 7);
}

TEST(AListTest, AddIfAbsentAppendsOnlyNewValues) {
  aList list = listOf({1, 2}, 2);
  list.addIfAbsent(2);
  EXPECT_EQ(elements(list), (Values{1, 2}));
  EXPECT_EQ(list.capacity(), 2);
  list.addIfAbsent(-5);  // full: grows
  EXPECT_EQ(elements(list), (Values{1, 2, -5}));
  EXPECT_EQ(list.capacity(), 4);
  list.addIfAbsent(1);
  EXPECT_EQ(elements(list), (Values{1, 2, -5}));
}

TEST(AListTest, InsertAtPutsTheValueBeforeTheElement) {
  aList one = listOf({5}, 1);
  one.insertAt(0, 9);
  EXPECT_EQ(elements(one), (Values{9, 5}));
  EXPECT_EQ(one.capacity(), 2);

  aList list = listOf({1, 2, 3, 4}, 4);
  list.insertAt(2, 99);
  EXPECT_EQ(elements(list), (Values{1, 2, 99, 3, 4}));
  list.insertAt(4, -1);
  EXPECT_EQ(elements(list), (Values{1, 2, 99, 3, -1, 4}));
}

TEST(AListTest, RemoveAtKeepsTheCapacity) {
  aList list = listOf({1, 2, 3, 4, 5}, 8);
  list.removeAt(4);
  EXPECT_EQ(elements(list), (Values{1, 2, 3, 4}));
  list.removeAt(0);
  EXPECT_EQ(elements(list), (Values{2, 3, 4}));
  list.removeAt(1);
  EXPECT_EQ(elements(list), (Values{2, 4}));
  EXPECT_EQ(list.capacity(), 8);
}

TEST(AListTest, SetReplacesAnElement) {
  aList list = listOf({1, 2, 3}, 3);
  list.set(0, INT32_MIN);
  list.set(2, INT32_MAX);
  EXPECT_EQ(elements(list), (Values{INT32_MIN, 2, INT32_MAX}));
}

TEST(AListTest, ContainsLooksOnlyAtElementsInUse) {
  aList list(4);
  EXPECT_FALSE(list.contains(0));
  list.append(3);
  list.append(8);
  EXPECT_TRUE(list.contains(8));
  list.removeAt(1);  // 8 stays in the storage beyond the count
  EXPECT_FALSE(list.contains(8));
  EXPECT_TRUE(list.contains(3));
}

TEST(AListTest, ShrinkToFit) {
  aList empty(8);
  empty.shrinkToFit();
  EXPECT_EQ(empty.capacity(), 8);

  aList list = listOf({4, 5, 6}, 8);
  list.shrinkToFit();
  EXPECT_EQ(list.capacity(), 3);
  EXPECT_EQ(elements(list), (Values{4, 5, 6}));
  list.append(7);
  EXPECT_EQ(list.capacity(), 6);
  EXPECT_EQ(elements(list), (Values{4, 5, 6, 7}));

  aList full = listOf({1, 2}, 2);
  full.shrinkToFit();
  EXPECT_EQ(full.capacity(), 2);
}

TEST(AListTest, CopyKeepsCapacityAndSharesNothing) {
  aList source = listOf({1, 2, 3}, 16);
  aList copy(source);
  EXPECT_EQ(copy.capacity(), 16);
  EXPECT_EQ(elements(copy), (Values{1, 2, 3}));
  copy.set(0, 100);
  copy.append(4);
  source.removeAt(2);
  source.set(1, -2);
  EXPECT_EQ(elements(copy), (Values{100, 2, 3, 4}));
  EXPECT_EQ(elements(source), (Values{1, -2}));
}

TEST(AListTest, HasNoAssignment) {
  // A member-wise assignment would share the storage and free it twice.
  EXPECT_FALSE(std::is_copy_assignable<aList>::value);
  EXPECT_FALSE(std::is_move_assignable<aList>::value);
}

TEST(AListTest, FailedRequestsLeaveTheListAsItWas) {
  aList list = listOf({1, 2}, 2);
  {
    FailingRequests failing;
    EXPECT_THROW(list.append(3), std::bad_alloc);
    EXPECT_THROW(list.insertAt(0, 3), std::bad_alloc);
    EXPECT_THROW(list.reset(), std::bad_alloc);
  }
  EXPECT_EQ(list.capacity(), 2);
  EXPECT_EQ(elements(list), (Values{1, 2}));
  list.append(3);
  EXPECT_EQ(elements(list), (Values{1, 2, 3}));
  {
    FailingRequests failing;
    EXPECT_THROW(list.shrinkToFit(), std::bad_alloc);
    EXPECT_THROW(aList copy(list), std::bad_alloc);
  }
  EXPECT_EQ(list.capacity(), 4);
  EXPECT_EQ(elements(list), (Values{1, 2, 3}));
}

TEST(AListTest, OversizedRequestsFail) {
  // 4 x n bytes must fit in 32 bits; a negative capacity is an oversized request.
  EXPECT_THROW(aList(-1), std::bad_alloc);
  EXPECT_THROW(aList(INT32_MIN), std::bad_alloc);
  EXPECT_THROW(aList(1 << 30), std::bad_alloc);
}

// Failed checks: one line on standard error, exit status 1.
using AListDeathTest = ::testing::Test;

TEST_F(AListDeathTest, ConstructorNeedsAPositiveCapacity) {
  EXPECT_EXIT(aList(0), ::testing::ExitedWithCode(1), "^aList:13: check \"maxN>0\" failed\n$");
}

TEST_F(AListDeathTest, AtChecksBothEnds) {
  const char *message = "^aList:44: check \"\\(ind >= 0\\) && \\(ind < _n\\)\" failed\n$";
  aList list = listOf({1, 2}, 2);
  EXPECT_EXIT(list.at(2), ::testing::ExitedWithCode(1), message);
  EXPECT_EXIT(list.at(-1), ::testing::ExitedWithCode(1), message);
  aList empty(3);
  EXPECT_EXIT(empty.last(), ::testing::ExitedWithCode(1), message);
  aList one = listOf({1}, 1);
  EXPECT_EQ(one.last(), 1);
  EXPECT_EXIT(one.lastButOne(), ::testing::ExitedWithCode(1), message);
}

TEST_F(AListDeathTest, SetChecksTheIndex) {
  aList list = listOf({1, 2}, 4);
  EXPECT_EXIT(list.set(2, 0), ::testing::ExitedWithCode(1), "^aList:82: check \"_n > ind\" failed\n$");
  EXPECT_EXIT(list.set(-1, 0), ::testing::ExitedWithCode(1), "^aList:82: check \"ind >= 0\" failed\n$");
}

TEST_F(AListDeathTest, InsertAtNeedsAnExistingElement) {
  const char *message = "^aList:87: check \"_n > i && i >= 0\" failed\n$";
  aList list = listOf({1, 2}, 4);
  EXPECT_EXIT(list.insertAt(2, 0), ::testing::ExitedWithCode(1), message);
  EXPECT_EXIT(list.insertAt(-1, 0), ::testing::ExitedWithCode(1), message);
  aList empty(2);
  EXPECT_EXIT(empty.insertAt(0, 0), ::testing::ExitedWithCode(1), message);
}

TEST_F(AListDeathTest, RemoveAtNeedsAnExistingElement) {
  const char *message = "^aList:96: check \"_n > i && i >= 0\" failed\n$";
  aList list = listOf({1, 2}, 4);
  EXPECT_EXIT(list.removeAt(2), ::testing::ExitedWithCode(1), message);
  EXPECT_EXIT(list.removeAt(-1), ::testing::ExitedWithCode(1), message);
}

}  // namespace
