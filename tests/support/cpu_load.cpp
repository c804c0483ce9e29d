// Keeps every core busy for a bounded time, so a test can be run while the machine is loaded: one
// spinning thread per hardware thread, each ending after the given seconds (default 600) at the latest.
// The script that starts it kills it when its tests are done.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600.0;
    if (!(seconds > 0.0 && seconds <= 86400.0)) {
        std::fprintf(stderr, "usage: cpu_load [seconds, at most 86400]\n");
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> spinners;
    for (unsigned i = 0; i < threads; ++i) {
        spinners.emplace_back([end] {
            // Work the compiler cannot drop; the clock is read once in a while only.
            std::atomic<unsigned> sink{0};
            while (std::chrono::steady_clock::now() < end) {
                for (unsigned k = 0; k < 1u << 20; ++k)
                    sink.fetch_add(k, std::memory_order_relaxed);
            }
        });
    }
    for (std::thread& spinner : spinners)
        spinner.join();
    return 0;
}
