// Counting where a frame's pixels go. The probe ends the running occlusion query and starts
// the next one whenever the demo announces a pass, so each query holds exactly one pass's
// drawing; at the frame's end the results are read (the driver has then finished the frame)
// and added to the pass's total in that scene. A pass drawn several times in a frame adds up.
#include "pass_coverage.h"

#if QD_FIXED_FUNCTION_LAYER
#include "platform/opengl.h"
// OpenGL ES 2 has no occlusion queries: the capture tool over the fixed-function layer refuses
// --coverage before anything is counted, and these stand-ins are never reached.
namespace {
using GLuint64 = uint64_t;
constexpr GLenum GL_SAMPLES_PASSED = 0x8914;
constexpr GLenum GL_QUERY_RESULT = 0x8866;
void glGenQueries(GLsizei, GLuint*) {}
void glBeginQuery(GLenum, GLuint) {}
void glEndQuery(GLenum) {}
void glGetQueryObjectui64v(GLuint, GLenum, GLuint64* value) { *value = 0; }
}  // namespace
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include <time.h>

#include <algorithm>
#include <cstdio>

#include "frame_timings.h"

namespace {

constexpr int MAX_FRAME_QUERIES = 4096;
constexpr int MAX_SCENE_PASSES = 512;

struct PendingQuery {
    DrawPassKind kind;
    int32_t id;
    double ms;
};

GLuint queryNames[MAX_FRAME_QUERIES];
PendingQuery pending[MAX_FRAME_QUERIES];
int pendingCount = 0;
bool queryRunning = false;
bool namesMade = false;
double framePixels = 1;
double passStart = 0;

// CPU time of the whole process, the driver's rasterizer threads included, in milliseconds:
// unlike the wall clock it does not grow with the other processes sharing the machine.
double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

PassCoverage scenePasses[TIMED_SCENES][MAX_SCENE_PASSES];
int scenePassCount[TIMED_SCENES];
int64_t sceneFrames[TIMED_SCENES];

// Ends the running pass: its query, and its time once the driver has finished its drawing.
void stopQuery() {
    if (!queryRunning) return;
    glEndQuery(GL_SAMPLES_PASSED);
    glFinish();
    pending[pendingCount - 1].ms = processCpuMs() - passStart;
    queryRunning = false;
}

void probe(DrawPassKind kind, int32_t id) {
    stopQuery();
    if (kind == PASS_NONE || pendingCount >= MAX_FRAME_QUERIES) return;
    if (pendingCount == 0) glFinish();  // the clear and anything before the first pass
    passStart = processCpuMs();
    pending[pendingCount] = {kind, id, 0.0};
    glBeginQuery(GL_SAMPLES_PASSED, queryNames[pendingCount]);
    ++pendingCount;
    queryRunning = true;
}

void addSamples(int scene, const PendingQuery& query, double samples) {
    PassCoverage* passes = scenePasses[scene];
    int& count = scenePassCount[scene];
    for (int i = 0; i < count; ++i) {
        if (passes[i].kind == query.kind && passes[i].id == query.id) {
            passes[i].samples += samples;
            passes[i].ms += query.ms;
            ++passes[i].draws;
            return;
        }
    }
    if (count >= MAX_SCENE_PASSES) return;
    passes[count++] = {query.kind, query.id, samples, query.ms, 1};
}

}  // namespace

void beginPassCoverage(int width, int height) {
    if (!namesMade) glGenQueries(MAX_FRAME_QUERIES, queryNames);
    namesMade = true;
    framePixels = static_cast<double>(width) * height;
    pendingCount = 0;
    queryRunning = false;
    std::fill(scenePassCount, scenePassCount + TIMED_SCENES, 0);
    std::fill(sceneFrames, sceneFrames + TIMED_SCENES, 0);
    drawPassProbe = probe;
}

void endCoverageFrame(int scene) {
    stopQuery();
    const bool counted = scene >= 0 && scene < TIMED_SCENES;
    if (counted) ++sceneFrames[scene];
    for (int i = 0; i < pendingCount; ++i) {
        GLuint64 samples = 0;
        glGetQueryObjectui64v(queryNames[i], GL_QUERY_RESULT, &samples);
        if (counted) addSamples(scene, pending[i], static_cast<double>(samples));
    }
    pendingCount = 0;
}

void endPassCoverage() {
    stopQuery();
    drawPassProbe = nullptr;
}

int sceneCoverage(int scene, PassCoverage* out, int capacity, int64_t* frames) {
    if (scene < 0 || scene >= TIMED_SCENES) return 0;
    const int count = std::min(scenePassCount[scene], capacity);
    std::copy(scenePasses[scene], scenePasses[scene] + count, out);
    std::sort(out, out + count,
              [](const PassCoverage& a, const PassCoverage& b) { return a.samples > b.samples; });
    *frames = sceneFrames[scene];
    return count;
}

int formatPassName(DrawPassKind kind, int32_t id, char* out, size_t size) {
    static const char* const names[DRAW_PASS_KINDS] = {
        "other", "opaque object", "sprite set", "flare set", "translucent object",
        "wire overlay", "Layer", "fade to black", "fade to white", "tile mask"};
    const char* name = kind >= 0 && kind < DRAW_PASS_KINDS ? names[kind] : "?";
    const bool numbered = kind >= PASS_OPAQUE && kind <= PASS_LAYER;
    return numbered ? std::snprintf(out, size, "%s %d", name, id)
                    : std::snprintf(out, size, "%s", name);
}

void printPassCoverage() {
    static PassCoverage passes[MAX_SCENE_PASSES];
    for (int scene = 0; scene < TIMED_SCENES; ++scene) {
        int64_t frames = 0;
        const int count = sceneCoverage(scene, passes, MAX_SCENE_PASSES, &frames);
        if (frames == 0) continue;
        double total = 0, totalMs = 0;
        for (int i = 0; i < count; ++i) {
            total += passes[i].samples;
            totalMs += passes[i].ms;
        }
        const double n = static_cast<double>(frames);
        const double perFrame = framePixels * n;
        std::printf("scene %d: %lld frames, %.2f screens of pixels and %.2f CPU ms of passes per frame\n",
                    scene, static_cast<long long>(frames), total / perFrame, totalMs / n);
        for (int i = 0; i < count; ++i) {
            char name[64];
            formatPassName(passes[i].kind, passes[i].id, name, sizeof name);
            std::printf("  %-22s %8.3f screens %5.1f %% %8.2f CPU ms %6.2f draws per frame\n", name,
                        passes[i].samples / perFrame,
                        total > 0 ? 100.0 * passes[i].samples / total : 0.0, passes[i].ms / n,
                        static_cast<double>(passes[i].draws) / n);
        }
    }
    std::fflush(stdout);
}
