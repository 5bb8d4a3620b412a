// Independent tasks run on every core: the analysis of each of many series.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace zp::analysis {

// Calls task(k) once for each k in [0, count), on as many threads as there are cores
// (the calling thread one of them) or on the calling thread alone when `parallel` is
// false. Each thread takes the next k not yet taken, so tasks given longest first
// share out evenly. The tasks must not touch each other's data.
template <class Task>
void runTasks(std::size_t count, Task task, bool parallel = true) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k = next++; k < count; k = next++) task(k);
    };
    const std::size_t threads =
        parallel ? std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()))
                 : 1;
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace zp::analysis
