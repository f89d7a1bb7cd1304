// The progress report. The estimate of the time left assumes the remaining frames take as long
// on average as those drawn so far; scenes differ in cost, so it settles as the run goes on.
#include "progress_report.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr int BAR_WIDTH = 30;
constexpr double REDRAW_SECONDS = 0.2;

double nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void formatClock(char* out, size_t size, double seconds) {
    if (seconds < 0) {
        std::snprintf(out, size, "-:--");
        return;
    }
    long whole = static_cast<long>(seconds + 0.5);
    std::snprintf(out, size, "%ld:%02ld", whole / 60, whole % 60);
}

void writeSceneLine(const ProgressReport* report, double musicMs) {
    double elapsed = nowSeconds() - report->startSeconds;
    char spent[32], left[32];
    formatClock(spent, sizeof spent, elapsed);
    formatClock(left, sizeof left, secondsLeft(report->done, report->total, elapsed));
    std::fprintf(stderr, "scene %d: frame %lld of %lld, music %.1f s, %s spent, %s left\n",
                 report->scene, static_cast<long long>(report->done),
                 static_cast<long long>(report->total), musicMs / 1000, spent, left);
}

void redrawBar(ProgressReport* report, double musicMs) {
    char line[160];
    formatProgressBar(line, sizeof line, report->done, report->total, musicMs,
                      nowSeconds() - report->startSeconds);
    std::fprintf(stderr, "\r%s", line);
    std::fflush(stderr);
}

}  // namespace

double secondsLeft(int64_t done, int64_t total, double elapsedSeconds) {
    if (done <= 0) return -1;
    if (done >= total) return 0;
    return elapsedSeconds / static_cast<double>(done) * static_cast<double>(total - done);
}

int formatProgressBar(char* out, size_t size, int64_t done, int64_t total, double musicMs,
                      double elapsedSeconds) {
    char bar[BAR_WIDTH + 1];
    int filled = total > 0 ? static_cast<int>(BAR_WIDTH * done / total) : BAR_WIDTH;
    if (filled > BAR_WIDTH) filled = BAR_WIDTH;
    for (int i = 0; i < BAR_WIDTH; ++i) bar[i] = i < filled ? '#' : '-';
    bar[BAR_WIDTH] = '\0';
    char left[32];
    formatClock(left, sizeof left, secondsLeft(done, total, elapsedSeconds));
    int length = std::snprintf(out, size, "[%s] %lld/%lld frames, music %.1f s, %s left", bar,
                               static_cast<long long>(done), static_cast<long long>(total),
                               musicMs / 1000, left);
    return length >= 0 && static_cast<size_t>(length) < size;
}

void beginProgress(ProgressReport* report, int64_t total, int terminal) {
    *report = ProgressReport{};
    report->terminal = terminal;
    report->total = total;
    report->scene = -1;
    report->startSeconds = nowSeconds();
    report->lastDrawn = report->startSeconds - REDRAW_SECONDS;
}

void stepProgress(ProgressReport* report, int scene, double musicMs) {
    ++report->done;
    report->musicMs = musicMs;
    if (report->terminal) {
        double now = nowSeconds();
        if (now - report->lastDrawn < REDRAW_SECONDS) return;
        report->lastDrawn = now;
        redrawBar(report, musicMs);
        return;
    }
    if (scene != report->scene) {
        report->scene = scene;
        writeSceneLine(report, musicMs);
    }
}

void endProgress(ProgressReport* report, int finished) {
    if (report->terminal) {
        redrawBar(report, report->musicMs);
        std::fprintf(stderr, "\n");
        return;
    }
    double elapsed = nowSeconds() - report->startSeconds;
    char spent[32];
    formatClock(spent, sizeof spent, elapsed);
    if (finished)
        std::fprintf(stderr, "done: %lld frames, music %.1f s, %s spent\n",
                     static_cast<long long>(report->done), report->musicMs / 1000, spent);
    else
        std::fprintf(stderr, "stopped after %lld of %lld frames, music %.1f s, %s spent\n",
                     static_cast<long long>(report->done), static_cast<long long>(report->total),
                     report->musicMs / 1000, spent);
}
