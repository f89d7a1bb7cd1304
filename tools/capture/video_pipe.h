// Video output through the ffmpeg program: raw RGB frames go down a pipe into its standard
// input, the music comes from a WAV file, and ffmpeg muxes both into the named file. No
// picture is ever written to disk on the way.
#pragma once

#include <cstdint>

// 1 when an `ffmpeg` program can be found on the PATH.
int ffmpegAvailable();
// Starts ffmpeg encoding width x height RGB frames at `fps` with the music of `wavPath` into
// `videoPath`. The file name goes to ffmpeg as an argument, never through a shell. 1 on success.
int openVideoPipe(const char* videoPath, const char* wavPath, int fps, int width, int height);
// Sends one frame (width x height x 3 bytes, first row at the top). 0 when ffmpeg has stopped.
int writeVideoFrame(const uint8_t* rgb);
// Closes the pipe and waits for ffmpeg. 1 when it finished without error.
int closeVideoPipe();
