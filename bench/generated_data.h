// The generated data set for the benchmarks: the one the build makes (or the one in QD_DATA_DIR,
// a folder holding data/), loaded through the demo's own start-up steps on the headless
// context, so the benchmarks time the real scenes.
#pragma once

#include "assets/scene.h"

// Makes the working directory the folder that holds the data set's data/.
// 1 on success; 0 with the reason in *whyNot.
int prepareGeneratedData(const char** whyNot);
// Loads every asset once (the headless context, the loading screen, loadAllAssets). 1 on
// success; 0 with the reason in *whyNot. Later calls make the loaded tables current again.
int loadGeneratedData(const char** whyNot);
// Scene slot `index` of the set loaded by loadGeneratedData, kept even if the tables are
// allocated again later in the run.
Scene* loadedScene(int index);
