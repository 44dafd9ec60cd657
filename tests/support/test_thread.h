// A thread for tests: runs its body at once and is joined when the object
// goes (or by Join). A Win32 thread in the Windows builds, whose thread model
// has no std::thread; std::thread in the native build.
#pragma once

#include <functional>
#include <memory>

namespace sh::test {

class TestThread {
 public:
  explicit TestThread(std::function<void()> body);
  ~TestThread();
  // Waits for the body to return; nothing the second time.
  void Join();

 private:
  struct Impl;  // its destructor joins
  std::unique_ptr<Impl> impl_;
};

}  // namespace sh::test
