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

bool make_and_use(std::size_t ring, const std::function<bool(std::size_t)>& make,
                  const std::function<bool(std::size_t)>& use, std::size_t& stopped) {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t made = 0, used = 0;
    bool finished = false, stop = false;
    std::thread maker([&] {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return stop || made - used < ring; });
            if (stop) return;
            const std::size_t slot = made % ring;
            lock.unlock();
            const bool more = make(slot);
            lock.lock();
            if (!more) finished = true;
            else ++made;
            changed.notify_all();
            if (!more) return;
        }
    });
    bool complete = true;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return finished || made > used; });
        if (made == used) break;
        const std::size_t slot = used % ring;
        lock.unlock();
        const bool fine = use(slot);
        lock.lock();
        if (!fine) {
            stopped = slot;
            complete = false;
            stop = true;
            changed.notify_all();
            break;
        }
        ++used;
        changed.notify_all();
    }
    maker.join();
    return complete;
}
