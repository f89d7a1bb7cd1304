// What the platform files tell each other and nobody else.
#pragma once

// Finishes the frame of the headless context (there is no second buffer to show).
void swapHeadlessBuffers();
// Stops the audio thread before the process ends.
void stopAudioAtExit();
