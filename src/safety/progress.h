// The progress bar of a long search, on standard error and only on a
// terminal: it reaches 100% and ends its line, and an interrupt clears it.
// Only the thread that made the bar draws it; the other threads of a run
// hold SIGINT and SIGTERM back (parallel.h), so the interrupt handler runs
// on the drawing thread and nothing is drawn after it cleared the line.
#pragma once
#include <cstdint>
#include <thread>

class ProgressBar {
public:
    explicit ProgressBar(bool shown) : shown_(shown), owner_(std::this_thread::get_id()) {}
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    // Redraws when the percentage changes; calls from other threads than
    // the bar's own are ignored.
    void update(std::uint64_t done, std::uint64_t total);
    // Draws 100% and ends the line.
    void finish();

private:
    bool shown_;
    bool open_ = false;
    int percent_ = -1;
    std::thread::id owner_;
};
