#include "safety/interrupt.h"

#include <atomic>
#include <cstring>

#include <pthread.h>
#include <time.h>
#include <unistd.h>

namespace {
constexpr int maxWatched = 64;
constexpr std::size_t maxPath = 4096;
// Fixed storage, so that the handler only reads memory and calls unlink and
// write, which are safe in a signal handler.
char watched[maxWatched][maxPath];
std::atomic<bool> inUse[maxWatched];
std::atomic<bool> lineOpen{false};
char seriesPrefix[maxPath], seriesSuffix[maxPath];
std::atomic<long> seriesCount{0};
std::atomic<int> writing{0};
std::atomic<bool> dying{false};

// prefix + k + suffix into name, with nothing but memory reads and writes.
void series_name(long k, char* name) {
    char digits[24];
    int n = 0;
    for (; k > 0 || n == 0; k /= 10) digits[n++] = static_cast<char>('0' + k % 10);
    char* q = name;
    for (const char* p = seriesPrefix; *p;) *q++ = *p++;
    while (n > 0) *q++ = digits[--n];
    for (const char* p = seriesSuffix; *p;) *q++ = *p++;
    *q = '\0';
}

void on_signal(int sig) {
    for (int i = 0; i < maxWatched; ++i)
        if (inUse[i].load()) ::unlink(watched[i]);
    // Writes of the series under way on other threads end first, and no
    // other begins; one on this thread waits in vain for a tenth of a second.
    dying.store(true);
    for (int wait = 0; wait < 100 && writing.load() > 0; ++wait) {
        const struct timespec ms = {0, 1000000};
        ::nanosleep(&ms, nullptr);
    }
    static char name[2 * maxPath + 24];
    // The count read anew each time: other threads may still be writing the next ones.
    for (long k = 1; k <= seriesCount.load(); ++k) {
        series_name(k, name);
        ::unlink(name);
    }
    if (lineOpen.load()) {
        static const char clear[] = "\r                                                                      \r";
        ssize_t ignored = ::write(2, clear, sizeof clear - 1);
        (void)ignored;
    }
    // Ends the process with the signal's own status once this handler returns.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}
}  // namespace

void install_interrupt_cleanup() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction old;
        // A signal the caller ignores (nohup, a background shell) stays ignored.
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(sig, &action, nullptr);
    }
}

bool watch_temporary(const std::string& path) {
    if (path.size() >= maxPath) return false;
    for (int i = 0; i < maxWatched; ++i)
        if (!inUse[i].load()) {
            std::memcpy(watched[i], path.c_str(), path.size() + 1);
            inUse[i].store(true);
            return true;
        }
    return false;
}

void forget_temporary(const std::string& path) {
    for (int i = 0; i < maxWatched; ++i)
        if (inUse[i].load() && path == watched[i]) inUse[i].store(false);
}

bool watch_numbered_temporaries(const std::string& prefix, const std::string& suffix) {
    if (prefix.size() >= maxPath || suffix.size() >= maxPath) return false;
    seriesCount.store(0);
    std::memcpy(seriesPrefix, prefix.c_str(), prefix.size() + 1);
    std::memcpy(seriesSuffix, suffix.c_str(), suffix.size() + 1);
    return true;
}

void set_numbered_temporaries(long count) { seriesCount.store(count); }

bool begin_numbered_write() {
    writing.fetch_add(1);
    if (!dying.load()) return true;
    writing.fetch_sub(1);
    return false;
}

void end_numbered_write() { writing.fetch_sub(1); }

void set_open_terminal_line(bool open) { lineOpen.store(open); }

SignalsHeld::SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
