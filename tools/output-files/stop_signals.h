// The signals that end a run early: SIGINT (Ctrl+C), SIGTERM and SIGHUP. A tool that writes
// files aside takes them away in its handler and ends with 128 plus the signal's number; while
// it moves finished files into place, it holds the signals back, so that a signal cannot land
// halfway through.
#pragma once

#include <csignal>

// Calls `handler` on each of the three signals, with all three held back while it runs; and
// makes a write past the file size limit fail (EFBIG) instead of ending the process.
void onStopSignals(void (*handler)(int));

// Holds the three signals back while it lives; one that comes meanwhile is handled afterwards.
struct StopSignalsHeld {
    sigset_t before;
    StopSignalsHeld();
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
};
