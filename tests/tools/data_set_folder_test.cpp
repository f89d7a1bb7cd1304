// A data set is written whole: into a new folder, into an empty one, over an earlier set with
// the user's own files beside it, and when the writing fails. The set takes its place with its
// manifest or not at all, files of the user's are never touched, and no partial folder stays.
// The build's own set carries a manifest that lists exactly its files and their sizes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "data_set_folder.h"
#include "platform/platform.h"
#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Every file under `folder` (names relative to it) with its text, hidden ones included.
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? slurp(entry.path()) : "<folder>";
    return files;
}

// A writer of a small set: one file for each name, holding its name; 0 (failing) after the
// names when `fails`.
std::function<int(const std::string&)> smallSet(std::vector<std::string> names, bool fails = false) {
    return [names, fails](const std::string& folder) {
        for (const std::string& name : names) writeText(fs::path(folder) / name, name);
        return fails ? 0 : 1;
    };
}

std::string manifestOf(const std::vector<std::pair<std::string, int>>& files) {
    std::string text = std::string(DATA_SET_MANIFEST_HEADER) + "\n";
    for (const auto& [name, size] : files) text += std::to_string(size) + " " + name + "\n";
    return text;
}

}  // namespace

TEST(DataSetFolder, NewFolderTakesItsPlaceWithTheManifestOrNotAtAll) {
    ScratchFolder root("data-set-new");
    ASSERT_TRUE(writeDataSetWhole((root.path / "sets/data/").string(), smallSet({"b.jpg", "a.dat"})));
    EXPECT_EQ(contentsOf(root.path),
              (std::map<std::string, std::string>{
                  {"sets", "<folder>"}, {"sets/data", "<folder>"}, {"sets/data/a.dat", "a.dat"},
                  {"sets/data/b.jpg", "b.jpg"},
                  {"sets/data/manifest.txt", manifestOf({{"a.dat", 5}, {"b.jpg", 5}})}}));

    // A writer that fails leaves nothing where the set would be, and nothing beside it.
    EXPECT_FALSE(writeDataSetWhole((root.path / "failed").string(), smallSet({"a.dat"}, true)));
    EXPECT_FALSE(fs::exists(root.path / "failed"));
    EXPECT_EQ(contentsOf(root.path).size(), 5u);

    // The longest name a folder takes: the partial folder beside it still fits.
    const fs::path longest = root.path / std::string(255, 'd');
    EXPECT_TRUE(writeDataSetWhole(longest.string(), smallSet({"a.dat"})));
    EXPECT_EQ(slurp(longest / "a.dat"), "a.dat");
}

TEST(DataSetFolder, EarlierSetIsReplacedAndTheUsersFilesStay) {
    ScratchFolder root("data-set-again");
    const fs::path data = root.path / "data";
    ASSERT_TRUE(writeDataSetWhole(data.string(), smallSet({"old.jpg", "both.dat"})));
    writeText(data / "notes.txt", "mine");

    // Failing over it changes nothing.
    const auto before = contentsOf(data);
    EXPECT_FALSE(writeDataSetWhole(data.string(), smallSet({"new.jpg"}, true)));
    EXPECT_EQ(contentsOf(data), before);

    // Succeeding: the new set's files, not the old set's others, the user's file as it was.
    ASSERT_TRUE(writeDataSetWhole(data.string(), smallSet({"both.dat", "new.jpg"})));
    EXPECT_EQ(contentsOf(data),
              (std::map<std::string, std::string>{
                  {"both.dat", "both.dat"}, {"new.jpg", "new.jpg"}, {"notes.txt", "mine"},
                  {"manifest.txt", manifestOf({{"both.dat", 8}, {"new.jpg", 7}})}}));

    // A file of the user's that a new file would replace stops the run before anything changes.
    writeText(data / "third.cfg", "mine too");
    const auto mine = contentsOf(data);
    EXPECT_FALSE(writeDataSetWhole(data.string(), smallSet({"both.dat", "third.cfg"})));
    EXPECT_EQ(contentsOf(data), mine);
}

TEST(DataSetFolder, EmptyFolderTakesASetAndAFolderOfTheUsersIsRefused) {
    ScratchFolder root("data-set-folders");
    fs::create_directory(root.path / "empty");
    EXPECT_TRUE(writeDataSetWhole((root.path / "empty").string(), smallSet({"a.dat"})));
    EXPECT_EQ(contentsOf(root.path / "empty").size(), 2u);

    fs::create_directory(root.path / "mine");
    writeText(root.path / "mine" / "a.dat", "my own");
    EXPECT_FALSE(writeDataSetWhole((root.path / "mine").string(), smallSet({"a.dat"})));
    EXPECT_EQ(contentsOf(root.path / "mine"),
              (std::map<std::string, std::string>{{"a.dat", "my own"}}));

    writeText(root.path / "file", "not a folder");
    EXPECT_FALSE(writeDataSetWhole((root.path / "file").string(), smallSet({"a.dat"})));
    EXPECT_EQ(slurp(root.path / "file"), "not a folder");
}

TEST(DataSetFolder, BuildsSetListsEveryFileWithItsSize) {
    ASSERT_TRUE(DATA_SET_DIR && fs::exists(fs::path(DATA_SET_DIR) / "complete"))
        << "the build made no data set";
    const fs::path data = fs::path(DATA_SET_DIR) / "data";
    std::vector<ManifestEntry> listed;
    ASSERT_TRUE(readManifest(data.string(), &listed));
    std::map<std::string, uintmax_t> files;
    for (const auto& entry : fs::directory_iterator(data))
        if (entry.path().filename() != DATA_SET_MANIFEST)
            files[entry.path().filename().string()] = entry.file_size();
    std::map<std::string, uintmax_t> inManifest;
    for (const ManifestEntry& e : listed) inManifest[e.name] = e.size;
    EXPECT_EQ(inManifest, files);
    EXPECT_GT(files.size(), 70u);
}
