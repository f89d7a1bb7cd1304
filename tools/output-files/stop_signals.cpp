// The stop signals, installed with sigaction so that a handler is not reset after it runs and
// an interrupted system call elsewhere is not left half-done by a second signal.
#include "stop_signals.h"

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t stopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : STOP_SIGNALS) sigaddset(&set, signal);
    return set;
}

}  // namespace

void onStopSignals(void (*handler)(int)) {
    // A file past the process's size limit (ulimit -f) fails its write with EFBIG instead of
    // ending the process, so that the tool names the file and the reason as for a full disk,
    // and takes its partial files away.
    std::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = stopSignalSet();
    for (int signal : STOP_SIGNALS) sigaction(signal, &action, nullptr);
}

StopSignalsHeld::StopSignalsHeld() {
    const sigset_t held = stopSignalSet();
    sigprocmask(SIG_BLOCK, &held, &before);
}

StopSignalsHeld::~StopSignalsHeld() { sigprocmask(SIG_SETMASK, &before, nullptr); }
