// GoogleTest's own hook for a platform's needs, found before its empty
// default. The Windows builds use MinGW's win32 thread model (its runtime
// imports nothing Windows XP lacks), whose C++ library has no std::mutex or
// std::condition_variable; GoogleTest builds its Notification, the one
// thing it needs them for, on those. This Notification waits on an atomic
// flag instead. GoogleTest uses it only to start the threads of its own
// thread tests; no test here starts a thread.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true, std::memory_order_release); }
  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
#endif

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
