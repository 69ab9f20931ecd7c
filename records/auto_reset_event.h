#pragma once
// An event that releases one wait per set() and then resets itself.

#include <chrono>
#include <condition_variable>
#include <mutex>

class AutoResetEvent {
public:
    void set() {
        {
            std::scoped_lock lock(mutex_);
            signalled_ = true;
        }
        condition_.notify_one();
    }

    void reset() {
        std::scoped_lock lock(mutex_);
        signalled_ = false;
    }

    void wait() {
        std::unique_lock lock(mutex_);
        condition_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }

    // Returns false when the time ran out first.
    bool wait_for(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!condition_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
        signalled_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool signalled_ = false;
};
