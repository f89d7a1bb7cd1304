// demo-capture: renders the demo without a window at a fixed rate of music time, to pictures,
// a video with its music, or timing figures. A command line it cannot follow ends it with the
// usage and exit code 2 before anything is loaded.
#include <cstdio>

#include "capture_options.h"
#include "capture_run.h"

int main(int argc, char** argv) {
    static CaptureOptions options;
    char error[256];
    if (!parseCaptureOptions(argc, argv, &options, error, sizeof error)) {
        std::fprintf(stderr, "demo-capture: %s\n%s", error, captureUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(captureUsage(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(captureVersion(), stdout);
        return 0;
    }
    return runCapture(options);
}
