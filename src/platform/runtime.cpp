// The runtime's 15-bit random generator, the same on every machine (the portable linear
// congruential generator of the C standard's example, seeded with 1), and the process exit.
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

void platformExit(int code) {
    stopAudioAtExit();
    platformCloseWindow();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
