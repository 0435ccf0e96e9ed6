// Work on both cores: the number of threads, consecutive slices of a range,
// and a pipeline that makes items on every thread and uses them in order.
// Results never depend on the number of threads.
#pragma once
#include <cstddef>
#include <functional>

// Threads for scoring and for making structure files; 0 (the default) uses
// every core.
void set_worker_count(int count);
int worker_count();

// Runs body(first, last) on consecutive slices of [0, n), one per worker,
// each of at least grain items.
void parallel_slices(std::size_t n, const std::function<void(std::size_t, std::size_t)>& body,
                     std::size_t grain = 256);

// Works through items on `workers` threads, this one among them, each with
// its own index w: take(w) gets the next item (one thread at a time, so
// items are taken in order; false when none are left), make(w) runs
// alongside the other threads, and use(w) runs one at a time, in the order
// the items were taken. Once a use returns false no later item is used, and
// the result is false.
bool take_make_use(int workers, const std::function<bool(int)>& take, const std::function<void(int)>& make,
                   const std::function<bool(int)>& use);
