#include <windows.h>

#include <stdexcept>

#include "test_thread.h"
#include "unique_handle_win.h"

namespace testing_support {

struct TestThread::Running {
    std::function<void()> work;
    std::exception_ptr thrown;
    velmora::UniqueHandle thread;
};

namespace {

DWORD WINAPI runWork(void* parameter) {
    auto* running = static_cast<TestThread::Running*>(parameter);
    try {
        running->work();
    } catch (...) {
        running->thrown = std::current_exception();
    }
    return 0;
}

}  // namespace

TestThread::TestThread(std::function<void()> work) : running_(std::make_unique<Running>()) {
    running_->work = std::move(work);
    running_->thread.reset(::CreateThread(nullptr, 0, runWork, running_.get(), 0, nullptr));
    if (!running_->thread) {
        throw std::runtime_error("CreateThread failed");
    }
}

TestThread::TestThread(TestThread&&) noexcept = default;

TestThread::~TestThread() {
    if (running_ && running_->thread) {
        ::WaitForSingleObject(running_->thread.get(), INFINITE);
    }
}

void TestThread::join() {
    ::WaitForSingleObject(running_->thread.get(), INFINITE);
    running_->thread.reset();
    if (running_->thrown) {
        std::rethrow_exception(running_->thrown);
    }
}

}  // namespace testing_support
