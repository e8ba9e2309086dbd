// Work shared out over threads: the searches whose results do not depend on the order in which
// their cycles are met, and the searches ahead of the removal of a nexus, run on every core the
// process may use, on threads kept from one call to the next.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace flownet {

// The cores this process may run on (at least 1).
int availableThreads();

// Threads that wait between calls, so that a call costs a wake-up rather than a thread start.
// One call runs at a time; work must not call run again.
class WorkerPool {
public:
    // The pool of this process (a child forked from a process with a pool gets a pool of its own).
    static WorkerPool& shared();

    // Runs work(worker) for worker = 0..threads-1, worker 0 on the calling thread and the others
    // on threads of the pool, and returns when all are done.
    void run(int threads, const std::function<void(int)>& work);

private:
    void serve(int worker);

    std::mutex oneCall_;
    std::mutex m_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> workers_;  // worker k + 1 is workers_[k]; never joined
    const std::function<void(int)>* work_ = nullptr;
    int threads_ = 0;
    int busy_ = 0;  // workers of the call still running
    long long call_ = 0;
};

// Runs work(worker) for worker = 0..threads-1 on the shared pool, worker 0 on the calling thread.
template <class Work>
void onThreads(int threads, Work&& work) {
    if (threads <= 1) {
        work(0);
        return;
    }
    const std::function<void(int)> each = [&work](int t) { work(t); };
    WorkerPool::shared().run(threads, each);
}

}  // namespace flownet
