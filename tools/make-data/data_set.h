// The demo's data set: every picture, BMP, scene file, the flare description and the music,
// generated procedurally and deterministically into one folder. Each writer returns 1 on
// success and 0 on the first file it cannot write, after naming that file and the system's
// reason on stderr.
#pragma once

#include <string>
#include <vector>

struct DataSetOptions {
    // Seconds of music to synthesise; the demo needs at least 230. Tests shorten it.
    double musicSeconds = 236.0;
    // Leaves out the music entirely (tests that only check pictures and scenes).
    bool skipMusic = false;
    // 1 for the normal set; 2 paints every picture at twice the size, for HD screens.
    int pictureScale = 1;
};

// ---- Writers, one per kind of file ----

// Every JPEG the set-up's slot tables load (the lens pictures the flare file names among
// them), each painted by its own painter at `scale` times its normal size (see pictures.cpp
// for the pictures that keep theirs); 0 also when a picture has no painter or a painter's
// picture is never loaded.
int writePictures(const std::string& dir, int scale = 1);
// "surface.bmp" and "water.bmp", 128 x 128, 24 bits.
int writeBmpPictures(const std::string& dir);
// "flare.cfg": one flare section and a chain of lens sections, CR LF lines.
int writeFlareConfig(const std::string& dir);
// The twelve scene files.
int writeSceneFiles(const std::string& dir);
// "5tfina.mp3": 44 100 Hz stereo, `seconds` long.
int writeMusic(const std::string& dir, double seconds);

// Runs every writer into a fresh folder and moves the set into `dir` whole, with its manifest
// (data_set_folder.h). 1 when every file was written and the set is in place.
int generateDataSet(const std::string& dir, const DataSetOptions& options);

// ---- Names ----

// Every JPEG name (with its "data\" prefix) that writePictures writes: the set-up's pictures.
std::vector<std::string> pictureNames();
// The lens pictures that "flare.cfg" names, in element order.
std::vector<std::string> flareElementNames();
