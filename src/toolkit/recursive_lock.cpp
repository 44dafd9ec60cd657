#include "toolkit/recursive_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

namespace sh {

#ifdef _WIN32

struct CRecursiveLock::Impl {
  Impl() { InitializeCriticalSection(&section); }
  ~Impl() { DeleteCriticalSection(&section); }
  CRITICAL_SECTION section;
};

void CRecursiveLock::lock() { EnterCriticalSection(&impl_->section); }
void CRecursiveLock::unlock() { LeaveCriticalSection(&impl_->section); }
bool CRecursiveLock::try_lock() { return TryEnterCriticalSection(&impl_->section) != FALSE; }

#else

struct CRecursiveLock::Impl {
  std::recursive_mutex mutex;
};

void CRecursiveLock::lock() { impl_->mutex.lock(); }
void CRecursiveLock::unlock() { impl_->mutex.unlock(); }
bool CRecursiveLock::try_lock() { return impl_->mutex.try_lock(); }

#endif

CRecursiveLock::CRecursiveLock() : impl_(std::make_unique<Impl>()) {}
CRecursiveLock::~CRecursiveLock() = default;

}  // namespace sh
