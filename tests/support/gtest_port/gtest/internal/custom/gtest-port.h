// GoogleTest's hook for port settings (it comes before the stock, empty one
// on the Windows builds' include path). The win32 thread model of those
// builds has no std::mutex or std::condition_variable, which GoogleTest's own
// Notification uses; everything else of its Windows port is Win32 already.
// This Notification waits on a Win32 event instead.
#ifndef SH_GTEST_CUSTOM_PORT_H_
#define SH_GTEST_CUSTOM_PORT_H_

#ifdef _WIN32
#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event (no windows.h here)
};

}  // namespace internal
}  // namespace testing
#endif  // _WIN32

#endif  // SH_GTEST_CUSTOM_PORT_H_
