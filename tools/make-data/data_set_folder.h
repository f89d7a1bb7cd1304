// A data set is complete or absent. make-data writes every file of the set into a folder of its
// own, adds the manifest (DATA_SET_MANIFEST) last, and only then moves the set into its place:
// a failed or interrupted run leaves no folder that looks like a data set, and never touches a
// file it did not write. The manifest lists the files and their sizes, so a data set can be told
// from any other folder, and a copy checked against it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ManifestEntry {
    std::string name;
    uintmax_t size;
};

// Writes the manifest into `folder`, listing every other file in it with its size, by name.
// 1 on success; 0 after saying why on stderr.
int writeManifest(const std::string& folder);
// The files the manifest of `folder` lists. 1 when `folder` holds a manifest make-data wrote.
int readManifest(const std::string& folder, std::vector<ManifestEntry>* entries);

// Writes a data set into `dir` as a whole: `writeFiles` fills a fresh folder, the manifest goes
// in last, and then the set takes its place.
// - `dir` absent: the fresh folder lies beside it and is renamed to it, at once.
// - `dir` empty, or holding a data set make-data wrote: the fresh folder lies inside it; its
//   earlier manifest goes first (it is no data set while its files change), the new files
//   replace the old, the old set's files that the new one lacks go, and the new manifest comes
//   last. Files of the user's in `dir` (the manifest does not list them) stay as they are; one
//   that a new file would replace stops the run before anything changes.
// - `dir` holding files but no manifest: refused, nothing changes.
// On failure, or on SIGINT, SIGTERM or SIGHUP (then the process ends with 128 plus its number),
// the fresh folder is removed. 1 on success; 0 after saying why on stderr.
int writeDataSetWhole(const std::string& dir,
                      const std::function<int(const std::string& folder)>& writeFiles);
