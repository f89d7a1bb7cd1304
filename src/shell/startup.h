// The program's fixed start-up and shutdown sequence.
#pragma once

// Runs the whole demo; returns 1 after a reported start-up failure. A normal run ends the
// process with exit code 0 when the window closes.
int runDemo(int fullscreen);
