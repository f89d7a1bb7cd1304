// The music on Web Audio. The browser decodes the whole MP3 (decodeAudioData) while the page
// shows its loading screen; the stream plays from an AudioBufferSourceNode, looping at its end
// like the native stream. A browser lets sound start only after the viewer has done something
// on the page, so audioPlay arms the stream and the page's Play button starts it: the page calls
// Module.music.unlock inside the click's (or key's) own handler, which resumes the audio
// context, and the stream starts as soon as the context runs (or, when the browser refuses
// sound, on a silent clock after one second, and the page says so). Until then the position is
// 0. The position is what is being heard: the context's time since the start, less the output
// latency, at 176 400 bytes per second; the context's time moves in steps of its render
// quantum, so between steps it is carried on by the page's millisecond clock (for at most
// 0.1 s), and it never goes back except where the stream starts again.
#include <emscripten/emscripten.h>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "platform/web/web_page.h"

namespace {

AudioPositionSource positionSource = nullptr;

EM_JS(int, webAudioAvailable, (), {
    return (typeof AudioContext === "function" || typeof webkitAudioContext === "function") ? 1 : 0;
});

// Makes the audio context once, and the click that lets it run.
EM_JS(void, webAudioCreate, (), {
    if (Module.music) return;
    var Context = window.AudioContext || window.webkitAudioContext;
    var music = {
        context: null, path: "", buffer: null, failed: false, source: null, armed: false,
        unlocked: false, loop: true,
        playing: false, silent: false, startTime: 0, startPerf: 0, contextTime: -1,
        contextPerf: 0, lastBytes: 0
    };
    try { music.context = new Context(); } catch (e) { music.context = null; }
    music.start = function() {
        if (!music.armed || !music.unlocked || music.playing || !music.buffer) return;
        var context = music.context;
        music.silent = !context || context.state !== "running";
        if (!music.silent) {
            var source = context.createBufferSource();
            source.buffer = music.buffer;
            source.loop = music.loop;
            source.connect(context.destination);
            source.start();
            music.source = source;
            music.startTime = context.currentTime;
        }
        music.startPerf = performance.now();
        music.contextTime = -1;
        music.lastBytes = 0;
        music.playing = true;
        if (music.silent && Module.page) Module.page.audioRefused();
    };
    // The viewer's Play lets the stream start: at once when the context runs, else when it
    // has resumed, or after a second on the silent clock.
    music.unlock = function() {
        if (!music.armed || music.playing) return;
        music.unlocked = true;
        if (music.context) music.context.resume().then(music.start, function() {});
        setTimeout(music.start, 1000);
    };
    // A new source starts at the offset of `bytes`, and the clock is set so that the position
    // reads it at once; paused, the position only stands there.
    music.seekTo = function(bytes) {
        if (!music.playing || !music.buffer) return;
        var seconds = bytes / 176400;
        music.lastBytes = bytes;
        if (music.paused) { music.pausedBytes = bytes; return; }
        if (music.source) { try { music.source.stop(); } catch (e) {} }
        music.source = null;
        if (!music.silent) {
            var context = music.context;
            var source = context.createBufferSource();
            source.buffer = music.buffer;
            source.loop = music.loop;
            source.connect(context.destination);
            source.start(0, seconds % music.buffer.duration);
            music.source = source;
            var latency = context.outputLatency || context.baseLatency || 0;
            music.startTime = context.currentTime - seconds - latency;
            music.contextTime = -1;
        }
        music.startPerf = performance.now() - seconds * 1000;
    };
    Module.music = music;
});

// Reads the file from the page's data and starts decoding it, unless it was the last file
// decoded; 0 when there is no such file.
EM_JS(int, webAudioOpen, (const char* path), {
    var music = Module.music;
    var name = UTF8ToString(path);
    var bytes;
    try { bytes = FS.readFile(name); } catch (e) { return 0; }
    if (music.path === name && (music.buffer || music.failed)) return 1;  // decoded before
    music.path = name;
    music.buffer = null;
    music.failed = false;
    if (!music.context) { music.failed = true; return 1; }
    music.context.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length),
        function(buffer) { music.buffer = buffer; music.start(); },
        function() { music.failed = true; });
    return 1;
});

EM_JS(void, webAudioArm, (int loop), {
    var music = Module.music;
    music.armed = true;
    music.loop = loop !== 0;
});

EM_JS(int, webAudioPosition, (), {
    var music = Module.music;
    if (!music || !music.playing) return 0;
    var now = performance.now();
    var seconds;
    if (music.silent) {
        seconds = (now - music.startPerf) / 1000;
    } else {
        var context = music.context;
        if (context.currentTime !== music.contextTime) {
            music.contextTime = context.currentTime;
            music.contextPerf = now;
        }
        var latency = context.outputLatency || context.baseLatency || 0;
        seconds = music.contextTime + Math.min((now - music.contextPerf) / 1000, 0.1) -
                  music.startTime - latency;
    }
    if (seconds < 0) seconds = 0;
    var duration = music.buffer.duration;
    if (music.loop && duration > 0) seconds = seconds % duration;
    var bytes = Math.floor(seconds * 44100) * 4;
    // Held instead of going back, unless the stream started again.
    var wrapped = bytes + 176400 < music.lastBytes;
    if (bytes < music.lastBytes && !wrapped) bytes = music.lastBytes;
    music.lastBytes = bytes;
    return bytes;
});

EM_JS(void, webAudioStop, (), {
    var music = Module.music;
    if (!music) return;
    if (music.source) { try { music.source.stop(); } catch (e) {} }
    music.source = null;
    music.armed = false;
    music.unlocked = false;
    music.playing = false;
    music.paused = false;
});

// Goes on from `bytes` (or, paused, stands there).
EM_JS(void, webAudioSeek, (int bytes), {
    if (Module.music) Module.music.seekTo(bytes);
});

EM_JS(void, webAudioSetPaused, (int pause, int bytes), {
    var music = Module.music;
    if (!music || !music.playing || (pause !== 0) === !!music.paused) return;
    if (pause !== 0) {
        music.pausedBytes = bytes;
        music.paused = true;
        if (music.source) { try { music.source.stop(); } catch (e) {} }
        music.source = null;
    } else {
        music.paused = false;
        music.seekTo(music.pausedBytes);
    }
});

EM_JS(int, webAudioPaused, (), { return Module.music && Module.music.paused ? 1 : 0; });
EM_JS(int, webAudioPausedBytes, (), { return Module.music ? Module.music.pausedBytes | 0 : 0; });

EM_JS(int, webAudioPlaying, (), { return Module.music && Module.music.playing ? 1 : 0; });
EM_JS(int, webAudioSilent, (), { return Module.music && Module.music.silent ? 1 : 0; });
EM_JS(int, webAudioFailed, (), { return Module.music && Module.music.failed ? 1 : 0; });

}  // namespace

int audioBackendPresent() { return webAudioAvailable(); }

int audioInit(int) {
    if (!audioBackendPresent()) return 0;
    if (!positionSource) webAudioCreate();
    return 1;
}

int audioOpenStream(const char* path) {
    if (!path) return 0;
    // A driven clock hears nothing: the file only has to be there.
    if (positionSource) {
        FILE* file = openDataFile(path);
        if (file) std::fclose(file);
        return file ? 1 : 0;
    }
    return webAudioOpen(nativeDataPath(path).c_str());
}

void audioStart() {}

void audioPlay(int loop) {
    if (!positionSource) webAudioArm(loop);
}

int32_t audioPosition() {
    if (positionSource) return positionSource();
    if (webAudioPaused()) return webAudioPausedBytes();
    return webAudioPosition();
}

void audioSeek(int32_t position) {
    if (!positionSource) webAudioSeek(position < 0 ? 0 : position & ~3);
}

void audioSetPaused(int paused) {
    if (!positionSource) webAudioSetPaused(paused, audioPosition());
}

int audioPaused() { return positionSource ? 0 : webAudioPaused(); }

void audioFree() { webAudioStop(); }

void setAudioPositionSource(AudioPositionSource source) { positionSource = source; }

void simulateAudioDeviceLoss() {}

int audioPlaysSilently() { return webAudioPlaying() && webAudioSilent(); }

int decodeMusicFile(const char*, MusicSink, void*) { return 0; }

void stopAudioAtExit() { webAudioStop(); }

int webMusicPlaying() { return webAudioPlaying(); }

int webMusicFailed() { return webAudioFailed(); }
