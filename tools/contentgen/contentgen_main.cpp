// kipster_contentgen: writes the game's pictures, sounds, font, models and world into a program folder.
//
//   kipster_contentgen [--stamp FILE] [--content FOLDER] PROGRAM_FOLDER
//       generates everything; with a stamp, does nothing when the stamp says that this very
//       generator, with the same material instance scripts, already wrote every file and all of
//       them are still there. The models take their material instances from the hand-written
//       content (FOLDER, by default the source tree's content folder).
//   kipster_contentgen --contact-sheet PROGRAM_FOLDER TARGET.png
//       draws an overview of the generated content (docs/content.png).
//   kipster_contentgen --world-map TARGET.png
//       draws the default world's map (docs/world_map.png).

#include "contentgen.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The generator's own bytes and the hand-written scripts it copies into the models decide whether
// old output is still what it would write now.
std::string fingerprint(const std::string& contentFolder)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::string& input : {std::string("/proc/self/exe"), contentFolder + "/materials/painted.instance",
                                     contentFolder + "/materials/details.instance",
                                     contentFolder + "/materials/glow.instance"}) {
        std::ifstream file(input, std::ios::binary);
        char buffer[65536];
        while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
            for (std::streamsize i = 0; i < file.gcount(); ++i)
                hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ull;
            if (!file)
                break;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string stampText(const std::string& print, const std::string& folder, const std::vector<std::string>& files)
{
    std::ostringstream text;
    text << "generator " << print << "\n";
    for (const std::string& file : files) {
        std::error_code error;
        const auto size = std::filesystem::file_size(folder + "/" + file, error);
        text << (error ? -1 : static_cast<long long>(size)) << " " << file << "\n";
    }
    return text.str();
}

// True when the stamp was written by this generator and every file it lists is unchanged in size.
bool upToDate(const std::string& stampFile, const std::string& print, const std::string& folder)
{
    std::ifstream in(stampFile);
    std::string word, stampPrint;
    if (!(in >> word >> stampPrint) || word != "generator" || stampPrint != print)
        return false;
    long long size = 0;
    std::string file;
    int count = 0;
    while (in >> size >> file) {
        std::error_code error;
        const auto actual = std::filesystem::file_size(folder + "/" + file, error);
        if (error || static_cast<long long>(actual) != size)
            return false;
        ++count;
    }
    return count > 0;
}

int usage()
{
    std::fprintf(stderr, "usage: kipster_contentgen [--stamp FILE] [--content FOLDER] PROGRAM_FOLDER\n"
                         "       kipster_contentgen --contact-sheet PROGRAM_FOLDER TARGET.png\n"
                         "       kipster_contentgen --world-map TARGET.png\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string stamp, folder, sheet, map, content = KIPSTER_CONTENT_FOLDER;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--stamp" && i + 1 < argc)
            stamp = argv[++i];
        else if (arg == "--content" && i + 1 < argc)
            content = argv[++i];
        else if (arg == "--contact-sheet" && i + 2 < argc) {
            folder = argv[++i];
            sheet = argv[++i];
        } else if (arg == "--world-map" && i + 1 < argc)
            map = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && folder.empty())
            folder = arg;
        else
            return usage();
    }
    if (folder.empty() && map.empty())
        return usage();

    const std::string print = stamp.empty() ? std::string() : fingerprint(content);
    if (sheet.empty() && !stamp.empty() && upToDate(stamp, print, folder)) {
        std::printf("contentgen: content in %s is up to date\n", folder.c_str());
        return 0;
    }

    // Pictures and text are drawn without any display; the engine that saves the models wants a
    // widget for its main form, which the offscreen platform gives without a window system.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    if (!sheet.empty())
        return cg::makeContactSheet(folder, sheet) ? 0 : 1;
    if (!map.empty())
        return cg::makeWorldMap(map) ? 0 : 1;

    const auto start = std::chrono::steady_clock::now();
    cg::Output out(folder);
    cg::makeTerrainTextures(out);
    cg::makeStreets(out);
    cg::makeWater(out);
    cg::makeImportMaps(out);
    cg::makeSky(out);
    cg::makeParticles(out);
    cg::makePosters(out);
    cg::makeFont(out);
    cg::makeSounds(out);
    cg::makeModelTextures(out);
    cg::makeIcon(out);
    if (!cg::makeModels(out, content))
        return 1;
    if (!cg::makeWorld(out))
        return 1;
    if (!out.ok())
        return 1;
    if (!stamp.empty()) {
        std::ofstream(stamp, std::ios::trunc) << stampText(print, folder, out.files());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("contentgen: wrote %zu files to %s in %.1f s\n", out.files().size(), folder.c_str(), seconds);
    return 0;
}
