// The progress bar of a long search, on standard error and only on a
// terminal: it reaches 100% and ends its line, and an interrupt clears it.
#pragma once
#include <cstdint>

class ProgressBar {
public:
    explicit ProgressBar(bool shown) : shown_(shown) {}
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    // Redraws when the percentage changes; from one thread at a time.
    void update(std::uint64_t done, std::uint64_t total);
    // Draws 100% and ends the line.
    void finish();

private:
    bool shown_;
    bool open_ = false;
    int percent_ = -1;
};
