// A lock for the threads of one process, re-entrant on one thread. On
// Windows a critical section: the Windows builds use mingw-w64's win32
// thread model (it imports nothing Windows XP lacks), which has no
// std::recursive_mutex. The native build uses std::recursive_mutex.
#pragma once

#include <memory>

namespace sh {

class CRecursiveLock {
 public:
  CRecursiveLock();
  ~CRecursiveLock();
  CRecursiveLock(const CRecursiveLock&) = delete;
  CRecursiveLock& operator=(const CRecursiveLock&) = delete;
  // The names std::lock_guard and std::unique_lock call.
  void lock();
  void unlock();
  bool try_lock();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sh
