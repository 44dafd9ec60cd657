#include "support/test_thread.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <thread>
#endif

namespace sh::test {

#ifdef _WIN32

struct TestThread::Impl {
  explicit Impl(std::function<void()> b) : body(std::move(b)) {
    // _beginthreadex rather than CreateThread: the body uses the C runtime.
    handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Run, this, 0, nullptr));
    if (handle == nullptr) {
      // A test that silently skipped its other thread would prove nothing.
      std::fprintf(stderr, "TestThread: _beginthreadex failed\n");
      std::abort();
    }
  }
  ~Impl() {
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
  }
  static unsigned __stdcall Run(void* self) {
    static_cast<Impl*>(self)->body();
    return 0;
  }
  std::function<void()> body;
  HANDLE handle = nullptr;
};

#else

struct TestThread::Impl {
  explicit Impl(std::function<void()> body) : thread(std::move(body)) {}
  ~Impl() { thread.join(); }
  std::thread thread;
};

#endif

TestThread::TestThread() = default;
TestThread::TestThread(std::function<void()> body) : impl_(std::make_unique<Impl>(std::move(body))) {}
TestThread::~TestThread() = default;
TestThread::TestThread(TestThread&&) noexcept = default;

TestThread& TestThread::operator=(TestThread&& other) noexcept {
  Join();
  impl_ = std::move(other.impl_);
  return *this;
}

void TestThread::Join() { impl_.reset(); }

}  // namespace sh::test
