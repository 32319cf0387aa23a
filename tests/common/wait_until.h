// Waiting for something a test cannot be told about: polled every few milliseconds until it
// holds or a time limit passes.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace tx::test {

// Whether `done` held before `limit` passed.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace tx::test
