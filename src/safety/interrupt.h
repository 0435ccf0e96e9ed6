// What an interrupt leaves behind: on SIGINT or SIGTERM the temporary files
// being written are removed, a progress line left open on the terminal is
// cleared, and the signal then ends the process as it would have. Renames
// that must happen together run with both signals held back.
#pragma once
#include <csignal>
#include <string>

// Installs the handlers of SIGINT and SIGTERM (once; later calls do nothing).
void install_interrupt_cleanup();

// A temporary file to remove if a signal ends the process. Watch it before
// creating it; false when the list (64 paths of up to 4095 characters) is full.
bool watch_temporary(const std::string& path);
void forget_temporary(const std::string& path);
// A series of temporary files, prefix + k + suffix for k from 1 to the count
// made so far (one series at a time; false when a name would be too long).
// A count of 0 forgets it.
bool watch_numbered_temporaries(const std::string& prefix, const std::string& suffix);
void set_numbered_temporaries(long count);
// Around the writing of one of the series on any thread: an interrupt waits
// (a while) for writes under way, and none begins after it (false: stop).
bool begin_numbered_write();
void end_numbered_write();

// Whether a line is open on standard error (a progress bar) that an
// interrupt must clear.
void set_open_terminal_line(bool open);

// Holds SIGINT and SIGTERM back while it lives; one that arrived meanwhile
// takes effect when it ends.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};
