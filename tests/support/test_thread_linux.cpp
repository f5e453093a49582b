#include <thread>

#include "test_thread.h"

namespace testing_support {

struct TestThread::Running {
    std::exception_ptr thrown;
    std::thread thread;
};

TestThread::TestThread(std::function<void()> work) : running_(std::make_unique<Running>()) {
    running_->thread = std::thread([running = running_.get(), work = std::move(work)] {
        try {
            work();
        } catch (...) {
            running->thrown = std::current_exception();
        }
    });
}

TestThread::TestThread(TestThread&&) noexcept = default;

TestThread::~TestThread() {
    if (running_ && running_->thread.joinable()) {
        running_->thread.join();
    }
}

void TestThread::join() {
    running_->thread.join();
    if (running_->thrown) {
        std::rethrow_exception(running_->thrown);
    }
}

}  // namespace testing_support
