// Where the tool programs that end-to-end tests run were built, where the build made the data
// set they share, and how a path goes into a shell command line.
#pragma once

#include <string>

#ifdef QD_CAPTURE_PROGRAM
inline const char* const CAPTURE_PROGRAM = QD_CAPTURE_PROGRAM;
#else
inline const char* const CAPTURE_PROGRAM = nullptr;
#endif

// The folder holding the build's data set: data/, and the file "complete" once it is whole.
#ifdef QD_DATA_SET_DIR
inline const char* const DATA_SET_DIR = QD_DATA_SET_DIR;
#else
inline const char* const DATA_SET_DIR = nullptr;
#endif

// The text in single quotes, for paths without quotes of their own (temporary folders).
inline std::string quoted(const std::string& text) { return "'" + text + "'"; }
