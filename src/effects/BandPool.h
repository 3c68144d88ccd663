#pragma once

// The engine's own worker threads for effects that run on bands of rows. An effect already
// runs inside a job of its caller, so handing bands to the caller's pool could leave them
// waiting behind the very job that waits for them; each engine therefore keeps threads of its
// own, started by the first effect that needs them. Internal to the engine.

#include "effects/FunctionRef.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vexa::effects {

class BandPool {
public:
    // Starts up to `workers` threads; fewer when the system refuses more.
    explicit BandPool(int workers);
    ~BandPool(); // lets the threads finish; no task may be running
    BandPool(const BandPool&) = delete;
    BandPool& operator=(const BandPool&) = delete;

    int workers() const { return int(threads_.size()); }

    // Offers `task` to `count` workers (1 .. workers()); each one that takes it calls task()
    // once, on its own thread. Returns at once. The task must stay alive until running() is 0.
    // One task at a time.
    void offer(int count, FunctionRef<void()> task);

    // Closes the offer: workers that have not taken the task yet no longer will.
    void withdraw();

    // How many offered calls have not returned yet (and may still be taken).
    int running() const { return running_.load(); }

    // A worker tells the offering thread that something changed (a row is done).
    void signal() {
        events_.fetch_add(1);
        events_.notify_one();
    }

    // The offering thread: a number that changes with every signal and every returned call;
    // waitForChange(seen) returns once it differs from `seen`.
    unsigned events() const { return events_.load(); }
    void waitForChange(unsigned seen) const { events_.wait(seen); }

private:
    void serve();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<FunctionRef<void()>> task_; // the open offer, valid while offered_ > 0
    int offered_ = 0;
    bool quit_ = false;
    // Kept here rather than with the task: a worker's last touch after its call returns must
    // not reach memory the offering thread may already have left.
    std::atomic<int> running_ = 0;
    std::atomic<unsigned> events_ = 0;
    std::vector<std::thread> threads_;
};

} // namespace vexa::effects
