// Work on both cores: the number of threads, consecutive slices of a range,
// and a two-thread pipeline that makes items on one thread while the other
// uses them in order. Results never depend on the number of threads.
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

// Calls make(slot) on a second thread and use(slot) on this one, item after
// item through ring slots (item i in slot i % ring), in order. make returns
// false when there are no more items, use false to stop early. Returns false
// when use stopped; stopped then holds that slot.
bool make_and_use(std::size_t ring, const std::function<bool(std::size_t)>& make,
                  const std::function<bool(std::size_t)>& use, std::size_t& stopped);
