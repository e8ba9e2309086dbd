#include "parallel.hpp"

#include <sched.h>
#include <unistd.h>

namespace flownet {

int availableThreads() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int>(n) : 1;
}

WorkerPool& WorkerPool::shared() {
    // Kept to the end of the process, its threads waiting: threads do not survive a fork, so a
    // forked child starts a pool of its own and leaves the parent's copy alone.
    static std::mutex guard;
    static WorkerPool* pool = nullptr;
    static pid_t owner = 0;
    const std::lock_guard lock(guard);
    if (pool == nullptr || owner != ::getpid()) {
        pool = new WorkerPool;
        owner = ::getpid();
    }
    return *pool;
}

void WorkerPool::run(int threads, const std::function<void(int)>& work) {
    const std::lock_guard one(oneCall_);
    {
        const std::lock_guard lock(m_);
        while (static_cast<int>(workers_.size()) < threads - 1) {
            const int worker = static_cast<int>(workers_.size()) + 1;
            workers_.emplace_back([this, worker] { serve(worker); });
        }
        work_ = &work;
        threads_ = threads;
        busy_ = threads - 1;
        ++call_;
    }
    wake_.notify_all();
    const auto waitForWorkers = [this] {
        std::unique_lock lock(m_);
        done_.wait(lock, [this] { return busy_ == 0; });
    };
    try {
        work(0);
    } catch (...) {
        waitForWorkers();
        throw;
    }
    waitForWorkers();
}

void WorkerPool::serve(int worker) {
    long long seen = 0;
    std::unique_lock lock(m_);
    for (;;) {
        wake_.wait(lock, [&] { return call_ != seen; });
        seen = call_;
        if (worker >= threads_) continue;
        const std::function<void(int)>& work = *work_;
        lock.unlock();
        work(worker);
        lock.lock();
        if (--busy_ == 0) done_.notify_one();
    }
}

}  // namespace flownet
