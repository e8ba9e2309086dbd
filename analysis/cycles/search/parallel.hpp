// Work shared out over threads: the searches whose results do not depend on the order in which
// their cycles are met run on every core the process may use.
#pragma once

#include <thread>
#include <vector>

namespace flownet {

// The cores this process may run on (at least 1).
int availableThreads();

// Runs work(worker) for worker = 0..threads-1, worker 0 on the calling thread and the others on
// threads of their own, and returns when all are done.
template <class Work>
void onThreads(int threads, Work&& work) {
    std::vector<std::jthread> others;
    for (int t = 1; t < threads; ++t) others.emplace_back([&work, t] { work(t); });
    work(0);
}

}  // namespace flownet
