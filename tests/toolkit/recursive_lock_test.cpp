#include <gtest/gtest.h>

#include "support/test_thread.h"
#include "toolkit/recursive_lock.h"

namespace sh {
namespace {

using test::TestThread;

bool OtherThreadCanTake(CRecursiveLock& lock) {
  bool took = false;
  TestThread([&] {
    took = lock.try_lock();
    if (took) lock.unlock();
  }).Join();
  return took;
}

// Re-entrant on the owning thread; another thread gets it only once every
// entry has been left.
TEST(RecursiveLock, OwnerReentersOthersWaitForTheLastLeave) {
  CRecursiveLock lock;
  lock.lock();
  EXPECT_TRUE(lock.try_lock()) << "the owner enters again";
  EXPECT_FALSE(OtherThreadCanTake(lock)) << "held twice";
  lock.unlock();
  EXPECT_FALSE(OtherThreadCanTake(lock)) << "still held once";
  lock.unlock();
  EXPECT_TRUE(OtherThreadCanTake(lock)) << "left as often as entered";
}

// Two threads adding under the lock lose no update.
TEST(RecursiveLock, KeepsThreadsOutOfEachOther) {
  CRecursiveLock lock;
  volatile long total = 0;
  auto add = [&] {
    for (int i = 0; i < 100000; ++i) {
      lock.lock();
      total = total + 1;
      lock.unlock();
    }
  };
  {
    TestThread a(add), b(add);
  }
  EXPECT_EQ(total, 200000);
}

}  // namespace
}  // namespace sh
