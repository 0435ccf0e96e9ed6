#include "parallel.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

static int requestedWorkers = 0;

void set_worker_count(int count) { requestedWorkers = count; }

int worker_count() {
    if (requestedWorkers > 0) return requestedWorkers;
    unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

void parallel_slices(std::size_t n, const std::function<void(std::size_t, std::size_t)>& body,
                     std::size_t grain) {
    const std::size_t workers = std::min<std::size_t>(worker_count(), std::max<std::size_t>(n / grain, 1));
    if (workers <= 1) {
        body(0, n);
        return;
    }
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(body, n * w / workers, n * (w + 1) / workers);
    body(0, n / workers);
    for (std::thread& t : threads) t.join();
}

bool take_make_use(int workers, const std::function<bool(int)>& take, const std::function<void(int)>& make,
                   const std::function<bool(int)>& use) {
    std::mutex mutex;
    std::condition_variable turn;
    std::size_t taken = 0, used = 0;
    bool exhausted = false, stopped = false;
    auto work = [&](int w) {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            if (exhausted || stopped) return;
            if (!take(w)) {
                exhausted = true;
                return;
            }
            const std::size_t ticket = taken++;
            lock.unlock();
            make(w);
            lock.lock();
            turn.wait(lock, [&] { return stopped || used == ticket; });
            if (stopped) return;
            lock.unlock();
            const bool fine = use(w);
            lock.lock();
            if (fine) ++used;
            else stopped = true;
            turn.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w) threads.emplace_back(work, w);
    work(0);
    for (std::thread& t : threads) t.join();
    return !stopped;
}
