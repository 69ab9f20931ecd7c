#pragma once
// Tasks posted from the engine thread for a thread that runs them when it is ready: the
// "main thread" of a program without a window toolkit (the command-line tool, tests).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class TaskQueue {
public:
    void post(std::function<void()> task) {
        {
            std::scoped_lock lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_one();
    }

    // Runs every task posted so far, waiting at most `timeout` for the first.
    void run(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        posted_.wait_for(lock, timeout, [this] { return !tasks_.empty(); });
        while (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};
