// The fixed start-up sequence: the data folder (the working directory's, or the one installed
// with the program), GL context (a window, or offscreen for the capture tool), the
// multitexture check, the loading screen, every asset, seeking made ready (the programs with a
// window), the music, then the timeline with its playback controls. Each failed
// step is reported in one box and ends the program with exit code 1; a finished run releases the
// tables and the audio and closes the window, which ends the process with exit code 0.
#include "app/startup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/asset_setup.h"
#include "app/asset_tables.h"
#include "platform/platform.h"
#include "render/render_globals.h"
#include "shell/bitmap_font.h"
#include "shell/error_report.h"
#include "shell/gl_window.h"
#include "shell/music.h"
#include "timeline/playback.h"

namespace {

int openContext(ContextKind kind, const ContextFormat& format) {
    nearCullZ = -0.1f;
    if (kind == CONTEXT_HEADLESS) {
        if (!platformCreateHeadlessContext(format.width, format.height, format.samples)) return 0;
        int width = 0, height = 0;
        platformClientSize(&width, &height);
        initGlState(width, height);
        return 1;
    }
    return createGlWindow(format.width, format.height, kind == CONTEXT_FULLSCREEN ? 1 : 0,
                          format.samples);
}

// Reports a failed step. A switched display mode is given back before the process ends.
int fail(const char* message) {
    reportError(message);
    platformCloseWindow();
    return 0;
}

}  // namespace

int startDemo(ContextKind kind, const ContextFormat& format, Playback* playback) {
    char looked[1024];
    if (!findDataFolder(looked, sizeof looked)) {
        char message[1100];
        std::snprintf(message, sizeof message, "cannot find the data folder: looked in %s", looked);
        return fail(message);
    }
    if (!openContext(kind, format)) return fail("cannot init opengl-window");
    if (!checkMultitexture()) return fail("no multi-texturing supported");
    showLoadingScreen();
    if (!loadAllAssets()) return fail("cannot load scenes or textures");
    if (playback) preparePlayback(playback);
    if (!startMusic(MUSIC_PATH)) return fail("cannot play audio");
    return 1;
}

void shutDownDemo() {
    releaseTables();
    stopMusic();
}

int runDemo(int fullscreen) {
    static Playback playback;
    if (!startDemo(fullscreen ? CONTEXT_FULLSCREEN : CONTEXT_WINDOWED, WINDOW_FORMAT, &playback))
        return 1;
    // For measuring and comparing: every frame drawn at one picture height.
    if (const char* height = std::getenv("QUELLDRIFT_PICTURE_HEIGHT"))
        playback.fixedPictureHeight = std::max(0, std::atoi(height));
    runPlayback(&playback);
    endPlayback(&playback);
    shutDownDemo();
    platformExit(0);
}
