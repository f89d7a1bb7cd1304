// The runtime's 15-bit random generator, the same on every machine (the portable linear
// congruential generator of the C standard's example, seeded with 1), a monotonic clock, and
// the process exit.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {
unsigned long randState = 1;
}

int runtimeRand() {
    randState = randState * 1103515245UL + 12345UL;
    return static_cast<int>((randState / 65536UL) % 32768UL);
}

void runtimeSeedRand(unsigned seed) { randState = seed; }

// The numbers depend only on the low 32 bits of the state, which the multiplication and the
// addition never fill from above.
unsigned runtimeRandState() { return static_cast<unsigned>(randState); }

uint64_t platformMilliseconds() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void platformExit(int code) {
    stopAudioAtExit();
    platformCloseWindow();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
