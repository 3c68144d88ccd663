#include "effects/BandPool.h"

#include <system_error>

namespace vexa::effects {

BandPool::BandPool(int workers) {
    threads_.reserve(std::size_t(workers > 0 ? workers : 0));
    for (int i = 0; i < workers; ++i) {
        try {
            threads_.emplace_back([this] { serve(); });
        } catch (const std::system_error&) {
            break; // the effects run on the threads there are
        }
    }
}

BandPool::~BandPool() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void BandPool::offer(int count, FunctionRef<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        task_ = task;
        offered_ = count;
        running_.store(count);
    }
    if (count == 1)
        wake_.notify_one();
    else
        wake_.notify_all();
}

void BandPool::withdraw() {
    int left = 0;
    {
        const std::lock_guard lock(mutex_);
        left = offered_;
        offered_ = 0;
        task_.reset();
    }
    if (left > 0) {
        running_.fetch_sub(left);
        signal();
    }
}

void BandPool::serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || offered_ > 0; });
        if (quit_) return;
        --offered_;
        const FunctionRef<void()> task = *task_;
        lock.unlock();
        task();
        running_.fetch_sub(1);
        signal();
        lock.lock();
    }
}

} // namespace vexa::effects
