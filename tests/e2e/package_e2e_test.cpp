// The player's download as cpack makes it from this build: one top folder with the program folder
// and nothing a build or a run leaves behind; unpacked anywhere it starts from another working
// directory, shows the world, and installs a desktop entry that points at where it lies.

#include "kipster_process.h"
#include "screen_capture.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kTopFolder = "kipster-" KIPSTER_VERSION;

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult runCommand(const std::string& command)
{
    CommandResult result;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            result.output.append(buffer, n);
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

// One shell word, whatever the path holds.
std::string shellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// Packed once for all tests: packing generates the content afresh and compresses it.
struct Download {
    TempFolder folder;
    fs::path archive;
    std::string failure;
    std::vector<std::string> entries;

    Download()
    {
        const auto packed = runCommand(shellWord(KIPSTER_CPACK) + " --config " + shellWord(KIPSTER_CPACK_CONFIG) + " -B " +
                                       shellWord(folder.path().string()));
        archive = folder / (kTopFolder + "-linux-x86_64.tar.gz");
        if (packed.status != 0 || !fs::exists(archive)) {
            failure = "cpack failed:\n" + packed.output;
            return;
        }
        std::istringstream listing(runCommand("tar -tzf " + shellWord(archive.string())).output);
        for (std::string entry; std::getline(listing, entry);)
            entries.push_back(entry);
    }

    CommandResult unpackInto(const fs::path& target, bool dropTopFolder) const
    {
        return runCommand("tar -xzf " + shellWord(archive.string()) + " -C " + shellWord(target.string()) +
                          (dropTopFolder ? " --strip-components=1" : ""));
    }
};

const Download& download()
{
    static const Download made;
    return made;
}

class Package : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(download().failure.empty()) << download().failure; }
};

} // namespace

TEST_F(Package, HoldsOneTopFolderWithTheProgramFolderAndNoLeftovers)
{
    std::set<std::string> names;
    for (const std::string& entry : download().entries) {
        ASSERT_EQ(entry.rfind(kTopFolder + "/", 0), 0u) << entry << " lies outside the top folder";
        const std::string name = entry.substr(kTopFolder.size() + 1);
        names.insert(name);
        EXPECT_NE(name.rfind("bench_", 0), 0u) << name;
        EXPECT_NE(name.rfind("recovery", 0), 0u) << name;
        EXPECT_NE(name, "log.html");
        EXPECT_NE(name, "alsoft.conf");
        EXPECT_NE(name, "textures/heightmaps/heightmap.txt") << "a note the editor's export leaves";
    }
    for (const char* name : {"kipster", "kipster.ini", "kipster.png", "kipster.desktop", "install-desktop-entry.sh",
                             "shaders/terrain.shader", "materials/model.material", "models/models.ini",
                             "fonts/default.font", "sounds/jump.wav", "textures/terrain/streets.png", "world/area_3_3.world"})
        EXPECT_EQ(names.count(name), 1u) << name << " is missing";
}

TEST_F(Package, UnpackedStartsFromAnotherWorkingDirectoryAndShowsTheWorld)
{
    KipsterProcess kipster([](const fs::path& folder) {
        const auto unpacked = download().unpackInto(folder, true);
        ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    });
    // The program finds its content beside its executable, not in the working directory.
    TempFolder elsewhere;
    const fs::path before = fs::current_path();
    fs::current_path(elsewhere.path());
    kipster.start();
    fs::current_path(before);

    ASSERT_TRUE(kipster.waitForLog("QOR CORE: Initialized!")) << kipster.log();
    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    // A drawn world: most of the window is view, in many colours (sky, terrain, models), not the
    // one flat colour of a clear or a failed draw.
    TempFolder shots;
    std::size_t view = 0, colours = 0;
    EXPECT_TRUE(KipsterProcess::waitFor(
        [&] {
            const auto shot = captureScreen(shots);
            const auto area = x11::windowGeometry(window);
            if (!shot || area.width <= 0)
                return false;
            std::set<int> seen;
            view = 0;
            for (int y = area.y; y < area.y + area.height; y += 4)
                for (int x = area.x; x < area.x + area.width; x += 4)
                    if (shot->isView(x, y)) {
                        ++view;
                        const auto [r, g, b] = shot->pixel(x, y);
                        seen.insert((r / 16) << 8 | (g / 16) << 4 | b / 16);
                    }
            colours = seen.size();
            return view > static_cast<std::size_t>(area.width / 4 * area.height / 4) / 2 && colours >= 40;
        },
        std::chrono::seconds(30)))
        << view << " view samples in " << colours << " colours";
    // Every file the game loads at start was in the download.
    EXPECT_EQ(kipster.log().find("class = \"error\""), std::string::npos) << kipster.log();
}

TEST_F(Package, InstallsADesktopEntryPointingAtTheUnpackedFolder)
{
    TempFolder scratch;
    const fs::path parent = scratch / "Kip's \"Games\" $HOME";
    fs::create_directories(parent);
    const auto unpacked = download().unpackInto(parent, false);
    ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    const fs::path folder = parent / kTopFolder;

    // Run from the download without an argument: the script installs the folder it lies in.
    const auto installed = runCommand("XDG_DATA_HOME=" + shellWord((scratch / "data").string()) + " " +
                                      shellWord((folder / "install-desktop-entry.sh").string()));
    ASSERT_EQ(installed.status, 0) << installed.output;
    const fs::path entry = scratch / "data/applications/kipster.desktop";
    const std::string text = readWholeFile(entry);
    const std::string base = scratch.path().string();
    // Exec quotes the path ("\"", "$" escaped) and, being a string, doubles every backslash.
    EXPECT_NE(text.find("\nExec=\"" + base + R"(/Kip's \\"Games\\" \\$HOME/)" + kTopFolder + "/kipster\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nPath=" + folder.string() + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nTryExec=" + (folder / "kipster").string() + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=kipster\n"), std::string::npos) << text;
    EXPECT_EQ(readWholeFile(scratch / "data/icons/hicolor/256x256/apps/kipster.png"), readWholeFile(folder / "kipster.png"));

    if (runCommand("command -v desktop-file-validate").status != 0)
        GTEST_SKIP() << "desktop-file-validate is missing (package desktop-file-utils): the entry is not validated";
    const auto validated = runCommand("desktop-file-validate " + shellWord(entry.string()));
    EXPECT_EQ(validated.status, 0) << validated.output;
    EXPECT_EQ(validated.output, "") << "warnings or hints";
}
