// The fixed set-up that fills every table before the music starts: nine steps, each loading the
// pictures, Layers, scene files, sprite sets, hooks, bakers and flares of one stretch of the
// demo, then the shared pictures, the BMP pictures and the water tables. The slot, Layer and
// Scene numbers are the contract with the scene compositions.
#pragma once

#include <cstdint>

#include "math/math3d.h"

// Paths the sprites follow. The BMP pictures and tables of the water effect that this set-up
// fills are declared with the effect (render/water_effects.h).
extern Vec3* aterieFirstPath;
extern Vec3* aterieSecondPath;
extern Vec3* darmPath;

// Allocates the tables and runs every step; 1 when all succeeded, 0 at the first failure.
int loadAllAssets();

// ---- The nine steps, in the order loadAllAssets runs them (1 success, 0 failure) ----

// Title pictures and logo Layers.
int setUpTitle();
// "data\light.dat" into Scene 0: its pictures, drifting sprites, zoom Layers, baking, flare.
int setUpLightScene();
// "data\neuronal.dat" into Scene 1: pictures, two bursts, two flares, fog, helmet Layers.
int setUpNeuronalScene();
// "data\aterie.dat" into Scene 2: baking, sway hook, picture Layers, fog, two path clouds.
int setUpAterieScene();
// An empty step.
int setUpNothing();
// "data\fisch2.dat" into Scene 10, the five morph key Scenes 11 to 15, the water slots.
int setUpFishScene();
// "data\darm.dat" into Scene 5: pictures, the path sprite sets, the text and picture Layers.
int setUpDarmScene();
// "data\kopuli.dat" into Scene 6 with its ripple hook.
int setUpKopuliScene();
// "data\mirror.dat" into Scene 20, with the mirror copy darkened and turned.
int setUpMirrorScene();
