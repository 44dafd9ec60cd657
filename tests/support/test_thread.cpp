#include "support/test_thread.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#ifdef _WIN32
#include <process.h>
#include <windows.h>

#include "toolkit/win_handles_win.h"
#else
#include <thread>
#endif

namespace sh::test {

#ifdef _WIN32

struct TestThread::Impl {
  explicit Impl(std::function<void()> b) : body(std::move(b)) {
    // _beginthreadex rather than CreateThread: the body uses the C runtime.
    handle.reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Run, this, 0, nullptr)));
    if (!handle.valid()) {
      // A test that silently skipped its other thread would prove nothing.
      std::fprintf(stderr, "TestThread: _beginthreadex failed\n");
      std::abort();
    }
  }
  ~Impl() { WaitForSingleObject(handle.get(), INFINITE); }
  static unsigned __stdcall Run(void* self) {
    static_cast<Impl*>(self)->body();
    return 0;
  }
  std::function<void()> body;
  ScopedHandle handle;
};

#else

struct TestThread::Impl {
  explicit Impl(std::function<void()> body) : thread(std::move(body)) {}
  ~Impl() { thread.join(); }
  std::thread thread;
};

#endif

TestThread::TestThread(std::function<void()> body) : impl_(std::make_unique<Impl>(std::move(body))) {}
TestThread::~TestThread() = default;
void TestThread::Join() { impl_.reset(); }

}  // namespace sh::test
