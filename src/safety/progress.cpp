#include "safety/progress.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "safety/interrupt.h"

void ProgressBar::update(std::uint64_t done, std::uint64_t total) {
    if (!shown_) return;
    const int percent = int(100 * std::min(done, total) / std::max<std::uint64_t>(total, 1));
    if (percent == percent_) return;
    percent_ = percent;
    open_ = true;
    set_open_terminal_line(true);
    std::fprintf(stderr, "\r[%-50s] %3d%%", std::string(percent / 2, '#').c_str(), percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (!shown_) return;
    update(1, 1);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    open_ = false;
    set_open_terminal_line(false);
    shown_ = false;
}

ProgressBar::~ProgressBar() {
    if (!open_) return;
    // Left early (an error): the line is cleared rather than left half drawn.
    std::fprintf(stderr, "\r%70s\r", "");
    std::fflush(stderr);
    set_open_terminal_line(false);
}
