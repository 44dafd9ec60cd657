#include <gtest/gtest.h>

#include "support/test_thread.h"
#include "toolkit/recursive_lock.h"

namespace sh {
namespace {

// Re-entrant on the owning thread; another thread gets it only once every
// entry has been left.
TEST(RecursiveLock, OwnerReentersOthersWaitForTheLastLeave) {
  CRecursiveLock lock;
  auto otherThreadTakes = [&lock] {
    bool took = false;
    test::TestThread([&] {
      if ((took = lock.try_lock())) lock.unlock();
    }).Join();
    return took;
  };
  lock.lock();
  EXPECT_TRUE(lock.try_lock()) << "the owner enters again";
  EXPECT_FALSE(otherThreadTakes()) << "held twice";
  lock.unlock();
  EXPECT_FALSE(otherThreadTakes()) << "still held once";
  lock.unlock();
  EXPECT_TRUE(otherThreadTakes()) << "left as often as entered";
}

}  // namespace
}  // namespace sh
