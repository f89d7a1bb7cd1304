// The fixed set-up that fills every table before the music starts: nine steps, each loading the
// pictures, Layers, scene files, sprite sets, hooks, bakers and flares of one stretch of the
// demo, then the shared pictures, the BMP pictures and the water tables. The slot, Layer and
// Scene numbers are the contract with the scene compositions.
#pragma once

#include <cstdint>

#include "anim/math3d.h"
#include "assets/texture_table.h"

// The BMP pictures and tables of the water effect.
extern Picture* surfacePicture;
extern Picture* surfaceColourPicture;
extern Picture* waterPicture;
extern uint16_t* offsetTable;
extern int32_t* colourTable;
// Paths the sprites follow.
extern Vec3* aterieFirstPath;
extern Vec3* aterieSecondPath;
extern Vec3* darmPath;

// Allocates the tables and runs every step; 1 when all succeeded, 0 at the first failure.
int loadAllAssets();
