// The two time values of the current frame. The main loop rewrites them every frame; until it
// has run once, frameStep is 1.0, so the load-time warm-up of the sprite sets advances every
// sprite by whole steps. sceneTime is one global written in place because hooks keep its address.
#include "anim/frame_clock.h"

float sceneTime = 0.0f;
float frameStep = 1.0f;
float demoTime = 0.0f;
float sceneMs = 0.0f;
