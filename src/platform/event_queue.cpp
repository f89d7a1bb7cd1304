// Events placed by platformPostEvent, as if the window system had sent them: a fixed ring that
// platformPollEvent empties before it asks the window system for more.
#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

constexpr int POSTED_EVENTS = 64;
PlatformEvent postedEvents[POSTED_EVENTS];
int postedHead = 0;
int postedCount = 0;

}  // namespace

void platformPostEvent(const PlatformEvent& event) {
    if (postedCount == POSTED_EVENTS) return;  // a full queue drops the newest, like a busy system
    postedEvents[(postedHead + postedCount) % POSTED_EVENTS] = event;
    ++postedCount;
}

int takePostedEvent(PlatformEvent* out) {
    if (postedCount == 0) return 0;
    *out = postedEvents[postedHead];
    postedHead = (postedHead + 1) % POSTED_EVENTS;
    --postedCount;
    return 1;
}
