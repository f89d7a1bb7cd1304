// The Debian package CPack makes of this build, made once into a scratch folder for the whole
// suite: its contents list holds exactly the programs, every file of the data set, the menu
// entry, the icon at every size, the metainfo, the manual pages and Debian's documentation
// files, under /usr, owned by root, with plain permissions; its control fields give the
// project's version and the packages of the shared libraries the programs link; the menu entry
// and the metainfo pass their validators, and lintian finds no error in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "icon_pictures.h"
#include "quelldrift_version.h"
#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

// One line of `dpkg-deb -c`: "-rw-r--r-- root/root  1234 2025-12-09 20:00 ./usr/bin/x".
struct PackedFile {
    std::string mode, owner;
    long long size = 0;
};

std::map<std::string, PackedFile> contentsList(const std::string& listing) {
    std::map<std::string, PackedFile> files;
    std::stringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        std::stringstream fields(line);
        PackedFile file;
        std::string date, time, path;
        fields >> file.mode >> file.owner >> file.size >> date >> time >> path;
        if (path.rfind("./", 0) == 0) path = path.substr(1);
        if (!path.empty() && path.back() == '/') path.pop_back();
        if (!path.empty()) files[path] = file;
    }
    return files;
}

// The value of one field of `dpkg-deb -f`'s output; empty when there is none.
std::string controlField(const std::string& fields, const std::string& name) {
    const std::string text = "\n" + fields;
    const size_t at = text.find("\n" + name + ": ");
    if (at == std::string::npos) return "";
    const size_t start = at + name.size() + 3;
    return text.substr(start, text.find('\n', start) - start);
}

}  // namespace

class DebianPackage : public ::testing::Test {
protected:
    static ScratchFolder* scratch;
    static fs::path package;             // the .deb
    static fs::path unpacked;            // its files, unpacked
    static std::string toolsMissing;     // tools without which no package is made
    static std::string failure;          // why making it failed

    static void SetUpTestSuite() {
        toolsMissing = missingPrograms({"dpkg-deb", "dpkg-shlibdeps"});
        if (!toolsMissing.empty()) return;
        scratch = new ScratchFolder("debian-package");
        const fs::path root = scratch->path;
        ProgramRun run = runIn(root, quoted(QD_CPACK_COMMAND) + " -G DEB --config " +
                                         quoted(fs::path(QD_BINARY_DIR) / "CPackConfig.cmake") +
                                         " -B " + quoted(root / "out"));
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root / "out", error))
            if (entry.path().extension() == ".deb") package = entry.path();
        if (run.exitCode != 0 || package.empty()) {
            failure = "cpack failed:\n" + run.out + run.err;
            return;
        }
        unpacked = root / "unpacked";
        run = runIn(root, "dpkg-deb -x " + quoted(package) + " " + quoted(unpacked));
        if (run.exitCode != 0) failure = "dpkg-deb -x failed: " + run.err;
    }

    static void TearDownTestSuite() {
        delete scratch;
        scratch = nullptr;
    }

    void SetUp() override {
        if (!toolsMissing.empty()) {
            if (everyToolRequired()) FAIL() << "not installed: " << toolsMissing;
            GTEST_SKIP() << "not installed: " << toolsMissing << " (scripts/setup installs it)";
        }
        ASSERT_TRUE(failure.empty()) << failure;
    }

    static ProgramRun dpkgDeb(const std::string& options) {
        return runIn(scratch->path, "dpkg-deb " + options + " " + quoted(package));
    }
};

ScratchFolder* DebianPackage::scratch = nullptr;
fs::path DebianPackage::package;
fs::path DebianPackage::unpacked;
std::string DebianPackage::toolsMissing;
std::string DebianPackage::failure;

TEST_F(DebianPackage, ContentsListHoldsExactlyTheInstalledFilesWithPlainOwnersAndModes) {
    const ProgramRun listing = dpkgDeb("-c");
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    const std::map<std::string, PackedFile> files = contentsList(listing.out);

    std::map<std::string, std::string> expected;  // path and mode
    for (const char* program : {"demo-windowed", "demo-fullscreen", "demo-capture", "make-data"})
        expected[std::string("/usr/bin/") + program] = "-rwxr-xr-x";
    std::map<std::string, long long> dataSizes;
    for (const auto& entry : fs::directory_iterator(fs::path(DATA_SET_DIR) / "data")) {
        const std::string path = "/usr/share/quelldrift/data/" + entry.path().filename().string();
        expected[path] = "-rw-r--r--";
        dataSizes[path] = static_cast<long long>(entry.file_size());
    }
    for (int size : ICON_SIZES) {
        const std::string side = std::to_string(size) + "x" + std::to_string(size);
        expected["/usr/share/icons/hicolor/" + side + "/apps/quelldrift.png"] = "-rw-r--r--";
    }
    for (const char* file :
         {"/usr/share/applications/org.quelldrift.demo.desktop",
          "/usr/share/metainfo/org.quelldrift.demo.metainfo.xml",
          "/usr/share/man/man6/demo-windowed.6.gz", "/usr/share/man/man6/demo-fullscreen.6.gz",
          "/usr/share/man/man1/demo-capture.1.gz", "/usr/share/man/man1/make-data.1.gz",
          "/usr/share/doc/quelldrift/copyright", "/usr/share/doc/quelldrift/changelog.gz"})
        expected[file] = "-rw-r--r--";

    std::set<std::string> packed, wanted;
    for (const auto& [path, file] : files) {
        EXPECT_EQ(path.rfind("/usr", 0), 0u) << path << " lies outside /usr";
        EXPECT_EQ(file.owner, "root/root") << path;
        if (file.mode[0] == 'd') {
            EXPECT_EQ(file.mode, "drwxr-xr-x") << path;
            continue;
        }
        packed.insert(path);
        const auto want = expected.find(path);
        if (want != expected.end()) {
            EXPECT_EQ(file.mode, want->second) << path;
        }
        const auto size = dataSizes.find(path);
        if (size != dataSizes.end()) {
            EXPECT_EQ(file.size, size->second) << path;
        }
    }
    for (const auto& entry : expected) wanted.insert(entry.first);
    EXPECT_EQ(packed, wanted);

    // The menu entry starts the packaged program, not one in the folder the package was made in.
    const std::string entry =
        slurp(unpacked / "usr/share/applications/org.quelldrift.demo.desktop");
    EXPECT_NE(entry.find("\nExec=\"/usr/bin/demo-windowed\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=quelldrift\n"), std::string::npos) << entry;
}

TEST_F(DebianPackage, ControlFieldsGiveTheVersionAndTheSharedLibrariesPackages) {
    const ProgramRun architecture = runIn(scratch->path, "dpkg --print-architecture");
    ASSERT_EQ(architecture.exitCode, 0);
    const std::string arch = architecture.out.substr(0, architecture.out.find('\n'));
    EXPECT_EQ(package.filename().string(), std::string("quelldrift_") + QD_VERSION + "_" + arch + ".deb");

    const ProgramRun fields = dpkgDeb("-f");
    ASSERT_EQ(fields.exitCode, 0) << fields.err;
    EXPECT_EQ(controlField(fields.out, "Package"), "quelldrift");
    EXPECT_EQ(controlField(fields.out, "Version"), QD_VERSION);
    EXPECT_EQ(controlField(fields.out, "Architecture"), arch);
    const std::string line = " " + controlField(fields.out, "Depends");
    // The runtime libraries of the programs and of the tools, as dpkg-shlibdeps names them.
    for (const char* library : {"libc6", "libsdl2-2.0-0", "libmpg123-0", "libjpeg62-turbo", "libopengl0",
                                "libglu1-mesa", "libegl1", "libpng16-16", "libfreetype6",
                                "libfontconfig1", "libmp3lame0"})
        EXPECT_NE(line.find(std::string(" ") + library), std::string::npos) << library << " in" << line;
}

TEST_F(DebianPackage, MenuEntryAndMetainfoPassTheirValidators) {
    SKIP_WITHOUT_PROGRAMS("desktop-file-validate", "appstreamcli");
    const ProgramRun entry = runIn(
        scratch->path, "desktop-file-validate " +
                           quoted(unpacked / "usr/share/applications/org.quelldrift.demo.desktop"));
    EXPECT_EQ(entry.exitCode, 0) << entry.out << entry.err;
    EXPECT_EQ(entry.out + entry.err, "");
    const ProgramRun metainfo = runIn(
        scratch->path, "appstreamcli validate --no-net " +
                           quoted(unpacked / "usr/share/metainfo/org.quelldrift.demo.metainfo.xml"));
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.out << metainfo.err;
}

TEST_F(DebianPackage, LintianFindsNoError) {
    SKIP_WITHOUT_PROGRAMS("lintian");
    const ProgramRun lintian = runIn(scratch->path, "lintian --fail-on error " + quoted(package));
    EXPECT_EQ(lintian.exitCode, 0) << lintian.out << lintian.err;
    EXPECT_EQ(("\n" + lintian.out).find("\nE: "), std::string::npos) << lintian.out;
}

// The tools say which release they are, and do nothing else.
TEST(ProgramVersions, CaptureAndGeneratorPrintTheProjectVersion) {
    const ScratchFolder folder("program-versions");
    for (const char* program : {QD_CAPTURE_PROGRAM, QD_MAKE_DATA_PROGRAM}) {
        const ProgramRun run = runIn(folder.path, quoted(program) + " --version");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, fs::path(program).filename().string() + " " + QD_VERSION + "\n");
        EXPECT_TRUE(fs::is_empty(folder.path)) << program << " wrote into the working directory";
    }
}
