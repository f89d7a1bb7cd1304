// The bar a paused or just-sought demo shows along the bottom edge of its picture: the music
// time (m:ss.s), the scene number, and a thin line standing for the whole demo with the start
// of every scene marked and the part already played lit.
#pragma once

// Where the demo stands and how its time is laid out.
struct PositionBar {
    double ms;                 // music time shown
    int scene;                 // scene number shown
    const float* sceneStarts;  // music time at which each scene starts, in order
    int sceneCount;
    double endMs;              // music time at the line's right end
};

// Draws the bar over the picture in its own pixels, in the built-in bitmap font.
void drawPositionBar(const PositionBar& bar);
// The time as the bar writes it: minutes, seconds and tenths ("3:39.0"), into `out`.
void formatBarTime(double ms, char* out, int size);
