// Where a data file of the demo lands in the folder being written. The demo names its files
// with a "data\" prefix and backslashes; the writers name them the same way, and only this
// turns such a name into a path.
#pragma once

#include <string>

// The full path of a data file: `dir` joined with the name after the "data\" prefix, with
// backslashes turned into slashes.
std::string dataFilePath(const std::string& dir, const std::string& dataName);
