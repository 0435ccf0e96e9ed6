#include "run/parallel.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "safety/interrupt.h"

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
    {
        SignalsHeld held;  // inherited: interrupts reach only this thread
        for (std::size_t w = 1; w < workers; ++w)
            threads.emplace_back(body, n * w / workers, n * (w + 1) / workers);
    }
    body(0, n / workers);
    for (std::thread& t : threads) t.join();
}

bool take_make_use(int workers, std::size_t ring, const std::function<bool(std::size_t)>& take,
                   const std::function<void(std::size_t)>& make, const std::function<bool(std::size_t)>& use) {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0, used = 0;
    std::vector<char> made(ring, 0);
    bool exhausted = false, stopped = false, usingNow = false;
    auto next_made = [&] { return used < taken && made[used % ring]; };
    auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopped) {
            if (!usingNow && next_made()) {
                // Uses every item made in a row, without handing over to another thread.
                usingNow = true;
                do {
                    const std::size_t slot = used % ring;
                    lock.unlock();
                    const bool fine = use(slot);
                    lock.lock();
                    made[slot] = 0;
                    if (fine) ++used;
                    else stopped = true;
                    changed.notify_all();
                } while (!stopped && next_made());
                usingNow = false;
            } else if (!exhausted && taken - used < ring) {
                const std::size_t slot = taken % ring;
                if (take(slot)) {
                    ++taken;
                    lock.unlock();
                    make(slot);
                    lock.lock();
                    made[slot] = 1;
                } else {
                    exhausted = true;
                    changed.notify_all();
                }
            } else if (exhausted && used == taken) {
                return;
            } else {
                changed.wait(lock);
            }
        }
        changed.notify_all();
    };
    std::vector<std::thread> threads;
    {
        SignalsHeld held;  // inherited: interrupts reach only this thread
        for (int w = 1; w < workers; ++w) threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) t.join();
    return !stopped;
}
