#include "app/instance_checker_win.h"

#include <cstdint>

namespace sh {

namespace {

class ScopedMappedView {
 public:
  ScopedMappedView(HANDLE mapping, DWORD access) : view_(MapViewOfFile(mapping, access, 0, 0, sizeof(uint32_t))) {}
  ScopedMappedView(const ScopedMappedView&) = delete;
  ScopedMappedView& operator=(const ScopedMappedView&) = delete;
  ~ScopedMappedView() {
    if (view_) UnmapViewOfFile(view_);
  }
  volatile uint32_t* get() const { return static_cast<volatile uint32_t*>(view_); }

 private:
  void* view_;
};

// Holds a mutex for a scope; holds nothing when there is no mutex.
class ScopedMutexLock {
 public:
  explicit ScopedMutexLock(HANDLE mutex) : mutex_(mutex) {
    if (mutex_ && WaitForSingleObject(mutex_, INFINITE) != WAIT_OBJECT_0) mutex_ = nullptr;
  }
  ScopedMutexLock(const ScopedMutexLock&) = delete;
  ScopedMutexLock& operator=(const ScopedMutexLock&) = delete;
  ~ScopedMutexLock() {
    if (mutex_) ReleaseMutex(mutex_);
  }

 private:
  HANDLE mutex_;
};

// Window handles keep their meaning in 32 bits (sign-extended on 64-bit).
uint32_t HandleToStored(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }
HWND StoredToHandle(uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

// Steps of the wait for a starting instance's window.
constexpr DWORD kWindowPollMs = 50;

}  // namespace

CInstanceChecker::CInstanceChecker(const std::string& applicationName)
    : mappingName_(kInstanceMappingPrefix + applicationName), lock_(CreateMutexA(nullptr, FALSE, nullptr)) {}

bool CInstanceChecker::IsAnotherInstanceRunning() {
  if (!otherMapping_.valid())
    otherMapping_.reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, mappingName_.c_str()));
  return otherMapping_.valid();
}

HWND CInstanceChecker::ActivateOtherInstance(DWORD waitMs) {
  if (!otherMapping_.valid()) return nullptr;
  HWND window = nullptr;
  {
    ScopedMappedView view(otherMapping_.get(), FILE_MAP_READ);
    if (view.get() == nullptr) {
      otherMapping_.reset();
      return nullptr;
    }
    for (DWORD waited = 0;; waited += kWindowPollMs) {
      {
        ScopedMutexLock lock(lock_.get());
        window = StoredToHandle(*view.get());
      }
      if (window != nullptr || waited >= waitMs) break;
      Sleep(kWindowPollMs);
    }
    if (window != nullptr) {
      // Neither call waits for the other process: a busy or hung instance
      // must not hold this one.
      HWND popup = GetLastActivePopup(window);
      if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
      SetForegroundWindow(popup ? popup : window);
    }
  }
  otherMapping_.reset();
  return window;
}

bool CInstanceChecker::RegisterAsFirstInstance(HWND mainWindow) {
  if (ownMapping_.valid()) return false;
  // Create, never open-then-create: the system tells which of two
  // processes starting together made the mapping.
  ScopedHandle mapping(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(uint32_t), mappingName_.c_str()));
  const DWORD error = GetLastError();
  if (!mapping.valid()) return false;
  if (error == ERROR_ALREADY_EXISTS) {
    otherMapping_ = std::move(mapping);
    return false;
  }
  ownMapping_ = std::move(mapping);
  if (SetMainWindow(mainWindow)) return true;
  ownMapping_.reset();
  return false;
}

bool CInstanceChecker::SetMainWindow(HWND mainWindow) {
  if (!ownMapping_.valid()) return false;
  ScopedMappedView view(ownMapping_.get(), FILE_MAP_WRITE);
  if (view.get() == nullptr) return false;
  ScopedMutexLock lock(lock_.get());
  *view.get() = HandleToStored(mainWindow);
  return true;
}

}  // namespace sh
