// Runs a piece of work that might never end, so that a hang fails the test instead of stopping the run.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace zopp::testing {

// Runs `work` on a thread of its own and tells whether it finished within `limit`. A thread that finished
// is joined, so nothing of it is still running when the process ends; one that overstays is left behind
// (detached), and whatever it captured must outlive it.
inline bool finishesWithin(std::chrono::milliseconds limit, std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread runner([done, work = std::move(work)] {
        work();
        done->set_value();
    });
    if (finished.wait_for(limit) != std::future_status::ready) {
        runner.detach();
        return false;
    }
    runner.join();
    return true;
}

}  // namespace zopp::testing
