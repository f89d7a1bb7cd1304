// Test entry: no box ever waits for a click, and no test reaches a real sound device.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    suppressMessageBoxes(1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
