// The music: one MP3 stream, started after everything has loaded, looping at its end. Its
// playing position is the only clock of the timeline, so time 0 is the moment it starts.
#include "shell/music.h"

#include "platform/platform.h"

int startMusic(const char* path) {
    if (!audioBackendPresent()) return 0;
    if (!audioInit(44100)) return 0;
    if (!audioOpenStream(path)) return 0;
    audioStart();
    audioPlay(1);
    return 1;
}

int32_t musicPosition() { return audioPosition(); }

void stopMusic() { audioFree(); }
