#include "safety/progress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "safety/interrupt.h"

namespace {
// One write each, so that an interrupt never splits a drawing.
void draw(const char* text) {
    for (std::size_t left = std::strlen(text); left > 0;) {
        const ssize_t n = ::write(2, text, left);
        if (n <= 0) return;
        text += n;
        left -= std::size_t(n);
    }
}
}  // namespace

void ProgressBar::update(std::uint64_t done, std::uint64_t total) {
    if (!shown_ || std::this_thread::get_id() != owner_) return;
    const int percent = int(100 * std::min(done, total) / std::max<std::uint64_t>(total, 1));
    if (percent == percent_) return;
    percent_ = percent;
    open_ = true;
    set_open_terminal_line(true);
    char line[80];
    char bar[51] = {};
    std::memset(bar, '#', std::size_t(percent / 2));
    std::snprintf(line, sizeof line, "\r[%-50s] %3d%%", bar, percent);
    draw(line);
}

void ProgressBar::finish() {
    if (!shown_) return;
    update(1, 1);
    draw("\n");
    open_ = false;
    set_open_terminal_line(false);
    shown_ = false;
}

ProgressBar::~ProgressBar() {
    if (!open_) return;
    // Left early (an error): the line is cleared rather than left half drawn.
    char line[80];
    std::snprintf(line, sizeof line, "\r%70s\r", "");
    draw(line);
    set_open_terminal_line(false);
}
