// Everything of the demo that lives from one frame to the next, saved and put back. That is
// the timeline's own record, the runtime's random numbers, every slot's wire brightness, and in
// each Scene its objects (hide toggles, measured normal lengths), lights, sprite sets with their
// sprites, and flare sets. Pictures, meshes and tables that no frame changes are not saved. A
// saved state keeps only the regions that changed since the one saved before it and shares the
// rest, so the states of a whole play-through, whose scenes each change only while they play,
// cost little more than one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/texture_table.h"
#include "timeline/main_loop.h"

// One stretch of memory that frames change.
struct StateRegion {
    uint8_t* address;
    size_t bytes;
};

// The regions of the loaded demo, listed once its tables are loaded (their arrays never move).
struct DemoStateLayout {
    StateRegion* regions;
    int32_t regionCount;
    size_t bytes;  // all regions together
};

struct SavedDemoState {
    TimelineState timeline;
    unsigned randState;
    float wireBrightness[TEXTURE_SLOTS];
    const uint8_t** regions;  // per region of the layout, where its bytes are kept
    uint8_t* ownBytes;        // the regions this state keeps itself, one after another
    size_t ownByteCount;
};

// Lists the regions of the loaded Scenes. 1 on success, 0 when there is no memory for the list.
int listDemoState(DemoStateLayout* layout);
void releaseDemoStateLayout(DemoStateLayout* layout);

// Saves the demo's state with the timeline's record into *out. Regions whose bytes equal those
// `shared` holds (a state saved with the same layout, or null) point at its copy instead of a
// new one; `shared` must then outlive *out. 1 on success, 0 when there is no memory.
int saveDemoState(const DemoStateLayout& layout, const TimelineState& timeline,
                  const SavedDemoState* shared, SavedDemoState* out);
// Saves into *out again, reusing its memory and sharing nothing: for a state saved over and over.
int resaveDemoState(const DemoStateLayout& layout, const TimelineState& timeline,
                    SavedDemoState* out);
// Puts the saved state back into the Scenes and tables, and its timeline record into *timeline.
void restoreDemoState(const DemoStateLayout& layout, const SavedDemoState& saved,
                      TimelineState* timeline);
void releaseSavedDemoState(SavedDemoState* saved);
