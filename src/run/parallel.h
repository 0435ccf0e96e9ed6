// Work on both cores: the number of threads, consecutive slices of a range,
// and a pipeline that makes items on every thread and uses them in order.
// Results never depend on the number of threads. The extra threads hold
// SIGINT and SIGTERM back, so an interrupt is handled by the calling thread.
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

// Works through items on `workers` threads, this one among them, through
// `ring` slots (item i in slot i % ring): take(slot) gets the next item (one
// thread at a time, so in order; false when none are left), make(slot) runs
// alongside the other threads, and use(slot) runs one at a time, in the
// order the items were taken. Whichever thread finds the next item made
// uses it, and a thread that cannot use one makes one, so no thread sleeps
// while there is work. Once a use returns false no later item is used, and
// the result is false.
bool take_make_use(int workers, std::size_t ring, const std::function<bool(std::size_t)>& take,
                   const std::function<void(std::size_t)>& make, const std::function<bool(std::size_t)>& use);
