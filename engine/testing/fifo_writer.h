// For tests that a FIFO is refused at once: should the code under test wait for a writer of
// the FIFO after all, one comes after a while, so that the test reports the wrong answer
// instead of hanging. The writer stops when the object goes.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace vesk::testing {

class FifoWriterAfterAWhile {
  public:
    explicit FifoWriterAfterAWhile(std::string fifo)
        : fifo_(std::move(fifo)), writer_([this] { Run(); }) {}
    ~FifoWriterAfterAWhile() {
        done_ = true;
        writer_.join();
    }
    FifoWriterAfterAWhile(const FifoWriterAfterAWhile&) = delete;
    FifoWriterAfterAWhile& operator=(const FifoWriterAfterAWhile&) = delete;

  private:
    void Run() {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        while (!done_) {
            const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::string fifo_;
    std::atomic<bool> done_{false};
    std::thread writer_;
};

}  // namespace vesk::testing
