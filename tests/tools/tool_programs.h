// Where the tool programs that end-to-end tests run were built, and how a path goes into a
// shell command line.
#pragma once

#include <string>

#ifdef QD_CAPTURE_PROGRAM
inline const char* const CAPTURE_PROGRAM = QD_CAPTURE_PROGRAM;
#else
inline const char* const CAPTURE_PROGRAM = nullptr;
#endif
#ifdef QD_MAKE_DATA_PROGRAM
inline const char* const MAKE_DATA_PROGRAM = QD_MAKE_DATA_PROGRAM;
#else
inline const char* const MAKE_DATA_PROGRAM = nullptr;
#endif

// The text in single quotes, for paths without quotes of their own (temporary folders).
inline std::string quoted(const std::string& text) { return "'" + text + "'"; }
