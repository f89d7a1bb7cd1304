// Error boxes. Every message goes to stderr as "caption: text" and to the sink tests install;
// a modal box is shown only where a display exists and somebody can close it, so a machine
// without a display (or a virtual one, QUELLDRIFT_NO_BOXES set) never blocks on a message.
// The reasons behind a failure go to stderr alone, as "<program>: <text>".
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {
MessageSink messageSink = nullptr;
bool boxesSuppressed = false;
}  // namespace

void setMessageSink(MessageSink sink) { messageSink = sink; }

void suppressMessageBoxes(int suppress) { boxesSuppressed = suppress != 0; }

void showErrorBox(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (messageSink) messageSink(caption, text);
    if (boxesSuppressed || std::getenv("QUELLDRIFT_NO_BOXES")) return;
    if (!platformHasDisplay()) return;
    showModalBox(caption, text);
}

void explainFailure(const char* format, ...) {
    std::fprintf(stderr, "%s: ", program_invocation_short_name);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
