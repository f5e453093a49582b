// A thread for tests that do two things at once, the same on both platforms: std::thread on
// Linux, a Win32 thread on Windows, whose C++ runtime (the win32-threads one the programs ship
// with) has no std::thread.
#pragma once

#include <exception>
#include <functional>
#include <memory>

namespace testing_support {

class TestThread {
  public:
    // Starts `work` on a thread of its own.
    explicit TestThread(std::function<void()> work);
    TestThread(TestThread&&) noexcept;
    TestThread& operator=(TestThread&&) = delete;
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;
    ~TestThread();  // joins, if join() has not

    // Waits for the work to end; what it threw is thrown here.
    void join();

    struct Running;  // the platform's thread and what the work threw

  private:
    std::unique_ptr<Running> running_;
};

}  // namespace testing_support
