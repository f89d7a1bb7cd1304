// The nine scene compositions, each drawing its frame from Layers, fades, the tile mask, scene
// render passes and effects in a fixed order.
#pragma once

// Draws scene `index` (0 to 8) for the current frame; other indices draw nothing.
void drawComposition(int index);
// Sets the levels that persist between frames (the text levels of scenes 1 and 3) back to 0.
void resetCompositionState();

void drawScene0();
void drawScene1();
void drawScene2();
void drawScene3();
void drawScene4();
void drawScene5();
void drawScene6();
void drawScene7();
void drawScene8();
