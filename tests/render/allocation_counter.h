// Counts the program's C++ heap allocations (operator new in every form) while counting is on,
// so a test can show that a stretch of per-frame work allocates nothing.
#pragma once

namespace AllocationCounter {
void start();
// Stops counting and returns the allocations seen since start.
long stop();
}  // namespace AllocationCounter
