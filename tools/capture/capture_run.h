// One capture run: the demo's own start-up on a headless context, then the frame schedule
// played through the demo's own frame function with the music clock driven by the schedule,
// each kept frame going to pictures, a video or the timing pool.
#pragma once

#include "capture_options.h"

// Runs the capture the options describe from data\ under the working directory. Returns the
// process exit code: 0 on success, 1 after a reported failure (start-up, a file, ffmpeg).
int runCapture(const CaptureOptions& options);
