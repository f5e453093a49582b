// GoogleTest's place for a platform's own pieces, for the win32-threads C++ runtime, which has
// no std::mutex or std::condition_variable. gtest's Windows build uses them only for
// Notification, which it lets a platform give instead: here a Win32 event.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    ~Notification() { ::CloseHandle(event_); }

    void Notify() { ::SetEvent(event_); }
    void WaitForNotification() { ::WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing

#endif  // GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
