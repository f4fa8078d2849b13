// The generated content: the named files and nothing else, the same bytes on every run, and every
// picture, sound and the font readable by the engine's own loaders, with the properties the game
// relies on (street tiles per shape code, seamless tiling, sky faces that meet, clean loops).

#include "engine_fixture.h"
#include "generator_runs.h"
#include "temp_folder.h"

#include "file/qr_file_file.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_image.h"
#include "sound/qr_boom_wavereader.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr int kLuminance = QRRESCImage2::kPixelLuminance, kRGB = QRRESCImage2::kPixelRGB, kRGBA = QRRESCImage2::kPixelRGBA;

struct PictureSpec {
    std::string name;
    int width, height, pixelFormat;
};

std::vector<PictureSpec> pictures()
{
    std::vector<PictureSpec> list = {
        {"textures\\terrain\\modulation.png", 512, 512, kRGBA},    {"textures\\terrain\\streets.png", 1024, 1024, kRGBA},
        {"textures\\water\\water.jpg", 512, 512, kRGB},            {"textures\\heightmaps\\heightmap.png", 640, 640, kLuminance},
        {"textures\\heightmaps\\groundmap.png", 160, 160, kLuminance}, {"textures\\particles\\explosion.png", 512, 512, kRGBA},
        {"textures\\particles\\pickup.png", 128, 128, kRGBA},      {"textures\\particles\\redstreak_impact.png", 128, 128, kRGBA},
        {"textures\\particles\\redstreak_shot.png", 128, 128, kRGBA}, {"fonts\\default.png", 1024, 1024, kRGBA},
        {"textures\\models\\details.png", 1024, 1024, kRGB},  {"kipster.png", 256, 256, kRGBA},
    };
    for (int i = 0; i < 5; ++i)
        list.push_back({"textures\\terrain\\terrain" + std::to_string(i) + ".jpg", 512, 512, kRGB});
    for (const char* face : {"north", "west", "south", "east", "top", "bottom"})
        list.push_back({std::string("textures\\skybox\\") + face + ".png", 512, 512, kRGB});
    for (int i = 1; i <= 22; ++i)
        list.push_back({std::string("textures\\ads\\ad_") + (i < 10 ? "0" : "") + std::to_string(i) + ".jpg", 256, 512, kRGB});
    return list;
}

const std::array<const char*, 12> kSounds = {"jump", "land", "footsteps", "fly", "turbo_kip_fire", "impact",
                                             "throw_banana", "banana_impact", "collect_paper", "level_up", "explosion",
                                             "hurt"};
// Scripts that clamp their texture in both directions.
const std::array<const char*, 11> kClampedTextures = {
    "textures\\skybox\\north", "textures\\skybox\\west", "textures\\skybox\\south", "textures\\skybox\\east",
    "textures\\skybox\\top", "textures\\skybox\\bottom", "textures\\particles\\explosion", "textures\\particles\\pickup",
    "textures\\particles\\redstreak_impact", "textures\\particles\\redstreak_shot", "fonts\\default"};
// Scripts that filter their texture within the nearer mipmap level.
const std::array<const char*, 5> kNearestLevelTextures = {"textures\\terrain\\terrain0", "textures\\terrain\\terrain1",
                                                          "textures\\terrain\\terrain2", "textures\\terrain\\terrain3",
                                                          "textures\\terrain\\modulation"};

// A picture as the engine loads it (rows from the top).
struct Picture {
    int width = 0, height = 0, channels = 0, format = -1;
    std::vector<std::uint8_t> bytes;
    int at(int x, int y, int c) const { return bytes[static_cast<std::size_t>((y * width + x) * channels + c)]; }
};

// Absolute differences, component by component, between two runs of pixels given as functions
// of an index.
template <typename A, typename B>
std::vector<int> differences(const Picture& first, const Picture& second, int count, A a, B b)
{
    std::vector<int> result;
    for (int i = 0; i < count; ++i) {
        const auto [x1, y1] = a(i);
        const auto [x2, y2] = b(i);
        for (int c = 0; c < first.channels; ++c)
            result.push_back(std::abs(first.at(x1, y1, c) - second.at(x2, y2, c)));
    }
    return result;
}

template <typename A, typename B>
double meanDifference(const Picture& first, const Picture& second, int count, A a, B b)
{
    const std::vector<int> all = differences(first, second, count, a, b);
    return std::accumulate(all.begin(), all.end(), 0.0) / static_cast<double>(all.size());
}

// The median is not moved by a pebble or a cloud that happens to lie on the line, only by a step
// along the whole line.
template <typename A, typename B>
double medianDifference(const Picture& first, const Picture& second, int count, A a, B b)
{
    std::vector<int> all = differences(first, second, count, a, b);
    std::nth_element(all.begin(), all.begin() + static_cast<long>(all.size() / 2), all.end());
    return all[all.size() / 2];
}

} // namespace

class ContentTest : public EngineFixture {
protected:
    ContentTest()
    {
        if (generatorRuns().ok)
            fs::copy(generatorRuns().plain.path(), programFolder().path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
    void SetUp() override { ASSERT_TRUE(generatorRuns().ok) << "the generator failed"; }

    Picture load(const std::string& name)
    {
        auto image = qrNew<QRRESCImage2>(nullptr);
        image->loadFromFile(name);
        Picture picture;
        picture.width = image->getWidth();
        picture.height = image->getHeight();
        picture.channels = image->getChannelCount();
        picture.format = image->getPixelFormat();
        picture.bytes = image->getByteData();
        return picture;
    }
};

TEST_F(ContentTest, WritesExactlyTheNamedFilesAndTheSameBytesEveryRun)
{
    std::set<std::string> expected;
    for (const PictureSpec& spec : pictures())
        expected.insert(onDisk(spec.name));
    for (const char* sound : kSounds)
        expected.insert(std::string("sounds/") + sound + ".wav");
    for (const char* texture : kClampedTextures)
        expected.insert(onDisk(texture) + ".texture");
    for (const char* texture : kNearestLevelTextures)
        expected.insert(onDisk(texture) + ".texture");
    expected.insert("fonts/default.font");
    for (const std::string& model : generatedModelPaths())
        expected.insert(onDisk(model));
    expected.insert("models/models.ini");
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az)
            expected.insert("world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world");

    const auto plain = filesBelow(generatorRuns().plain.path());
    std::set<std::string> written;
    for (const auto& [name, bytes] : plain)
        written.insert(name);
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(plain == filesBelow(generatorRuns().stamped.path())) << "two runs wrote different bytes";

    for (const char* texture : kClampedTextures) {
        const std::string script = plain.at(onDisk(texture) + ".texture");
        EXPECT_NE(script.find("set horizontalclamp true\n"), std::string::npos) << texture;
        EXPECT_NE(script.find("set verticalclamp true\n"), std::string::npos) << texture;
    }
    for (const char* texture : kNearestLevelTextures)
        EXPECT_NE(plain.at(onDisk(texture) + ".texture").find("set filter mipmapping\n"), std::string::npos) << texture;
}

TEST_F(ContentTest, StampSkipsCompleteOutputAndRepairsMissingFiles)
{
    const fs::path folder = generatorRuns().stamped.path(), stamp = generatorRuns().stampFolder / "content.stamp";
    const auto before = fs::last_write_time(folder / "textures/terrain/streets.png");
    QString printed;
    ASSERT_TRUE(runGenerator(folder, stamp, &printed));
    EXPECT_TRUE(printed.contains("up to date")) << printed.toStdString();
    EXPECT_EQ(fs::last_write_time(folder / "textures/terrain/streets.png"), before);

    fs::remove(folder / "sounds/jump.wav");
    ASSERT_TRUE(runGenerator(folder, stamp, &printed));
    EXPECT_FALSE(printed.contains("up to date"));
    EXPECT_EQ(readWholeFile(folder / "sounds/jump.wav"), readWholeFile(generatorRuns().plain / "sounds/jump.wav"));
}

TEST_F(ContentTest, PicturesLoadWithTheirSizeAndPixelFormat)
{
    for (const PictureSpec& spec : pictures()) {
        const Picture picture = load(spec.name);
        EXPECT_EQ(picture.width, spec.width) << spec.name;
        EXPECT_EQ(picture.height, spec.height) << spec.name;
        EXPECT_EQ(picture.format, spec.pixelFormat) << spec.name;
    }
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(ContentTest, SoundsAreShortCleanMonoPcm)
{
    for (const char* name : kSounds) {
        SCOPED_TRACE(name);
        QRFILEFile file(nullptr, std::string("sounds\\") + name + ".wav", QRFileAccess::Read, QRFileType::Binary);
        QRBOOMWaveData wave;
        std::string error;
        ASSERT_TRUE(qrReadWave(file, wave, error)) << error;
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bitsPerSample, 16);
        EXPECT_EQ(wave.frequency, 22050);
        std::vector<int> samples;
        for (std::size_t i = 0; i + 1 < wave.data.size(); i += 2)
            samples.push_back(static_cast<std::int16_t>(wave.data[i] | (wave.data[i + 1] << 8)));
        const double seconds = static_cast<double>(samples.size()) / wave.frequency;
        EXPECT_GT(seconds, 0.1);
        EXPECT_LT(seconds, 2.0);
        int peak = 0;
        for (int s : samples)
            peak = std::max(peak, std::abs(s));
        EXPECT_GT(peak, 32767 / 3) << "audible";
        EXPECT_LT(peak, 32767 * 95 / 100) << "not clipped";
        // Starting and ending on silence means no click, neither when played once nor when looped.
        EXPECT_LT(std::abs(samples.front()), 64);
        EXPECT_LT(std::abs(samples.back()), 64);
        EXPECT_LT(std::abs(samples[samples.size() - 2]), 512) << "fades into the end";
    }
}

TEST_F(ContentTest, FontNamesItsSheetAndMeasuredCentredGlyphs)
{
    // Lines split at blanks, tabs and commas; "{" and "}" switch the width table.
    std::ifstream in(programFolder() / "fonts/default.font");
    std::map<std::string, std::string> settings;
    std::vector<int> widths;
    bool table = false;
    for (std::string line; std::getline(in, line);) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::replace(line.begin(), line.end(), '\t', ' ');
        std::istringstream tokens(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(tokens), {}};
        if (words.size() == 1 && (words[0] == "{" || words[0] == "}"))
            table = words[0] == "{";
        else if (table && words.size() > 1) {
            EXPECT_EQ(words.size(), 16u);
            for (const std::string& word : words)
                widths.push_back(std::stoi(word));
        } else if (words.size() == 3 && words[0] == "set")
            settings[words[1]] = words[2];
    }
    ASSERT_EQ(widths.size(), 256u);
    EXPECT_EQ(settings["texture"], "fonts\\default.png");
    EXPECT_EQ(settings["blending"], "average");
    EXPECT_FALSE(settings["shader"].empty());

    const Picture sheet = load(settings["texture"]);
    ASSERT_EQ(sheet.width, 1024);
    const int cell = sheet.width / 16;
    const auto width = [&](unsigned char c) { return widths[c]; };
    EXPECT_GT(width(' '), cell / 5);
    EXPECT_GT(width('W'), width('i') * 2);
    EXPECT_GT(width('m'), width('n'));
    for (int code = 0; code < 256; ++code) {
        const bool printable = (code >= 32 && code < 127) || code >= 160;
        EXPECT_EQ(width(static_cast<unsigned char>(code)) > 0, printable) << code;
        EXPECT_LE(width(static_cast<unsigned char>(code)), cell) << code;
        if (!printable || code == ' ' || code == 0xA0)
            continue;
        // Quads are centred on the pen, so the ink must be centred in its cell.
        int left = cell, right = -1;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                if (sheet.at((code % 16) * cell + x, (code / 16) * cell + y, 3) > 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << "no ink for " << code;
        EXPECT_NEAR((left + right) / 2.0, cell / 2.0, 6.0) << code;
    }
    for (const unsigned char c : std::string("m\xE4" "chtiger als Gott"))
        EXPECT_GT(width(c), 0);
}

TEST_F(ContentTest, StreetAtlasHasATileForEveryCodeThatJoinsItsNeighbours)
{
    // The environment's code table: which neighbours (x-1, x+1, z-1, z+1) each code connects.
    const std::array<std::array<bool, 4>, 16> links = {{
        {0, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 1}, {1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 1, 0},
        {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}, {0, 0, 0, 1}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0},
    }};
    const Picture atlas = load("textures\\terrain\\streets.png");
    ASSERT_EQ(atlas.width, 1024);
    constexpr int kTile = 256;
    // Pixels on the line where a cell's street coordinates end (0.02 and 0.98 of the tile), with
    // +z towards the top of the picture.
    constexpr int kNear = 5, kFar = kTile - 1 - kNear;
    using Point = std::pair<int, int>;
    const auto edge = [&](int code, int side, int i) -> Point {
        const int left = (code % 4) * kTile, top = (code / 4) * kTile;
        switch (side) {
        case 0: return {left + kNear, top + i};  // x-1
        case 1: return {left + kFar, top + i};   // x+1
        case 2: return {left + i, top + kFar};   // z-1
        default: return {left + i, top + kNear}; // z+1
        }
    };
    for (int code = 0; code < 16; ++code) {
        for (int side = 0; side < 4; ++side) {
            const auto [x, y] = edge(code, side, kTile / 2);
            EXPECT_EQ(atlas.at(x, y, 3) > 200, links[code][side]) << "code " << code << " side " << side;
            if (!links[code][side])
                continue;
            // Across a cell border this edge meets the opposite edge of a straight piece.
            const int straight = side < 2 ? 1 : 2, opposite = side ^ 1;
            EXPECT_LT(meanDifference(atlas, atlas, kTile, [&](int i) { return edge(code, side, i); },
                                     [&](int i) { return edge(straight, opposite, i); }),
                      6.0)
                << "code " << code << " side " << side << " does not join";
        }
        for (int other = 0; other < code; ++other) {
            const auto pixel = [&](int tile) {
                return [&, tile](int i) { return Point{(tile % 4) * kTile + i % kTile, (tile / 4) * kTile + i / kTile}; };
            };
            EXPECT_GT(meanDifference(atlas, atlas, kTile * kTile, pixel(code), pixel(other)), 8.0)
                << "tiles " << code << " and " << other << " look alike";
        }
    }
}

TEST_F(ContentTest, RepeatingPicturesAndSkyFacesMeetWithoutSeams)
{
    // A seam is a step between two joined lines clearly above the usual step between neighbouring
    // lines inside the picture.
    const auto usualStep = [](const Picture& p, bool columns) {
        double sum = 0.0;
        const int lines = columns ? p.width : p.height;
        for (int i = 0; i + 1 < lines; ++i)
            sum += medianDifference(p, p, columns ? p.height : p.width,
                                    [&](int k) { return columns ? std::pair{i, k} : std::pair{k, i}; },
                                    [&](int k) { return columns ? std::pair{i + 1, k} : std::pair{k, i + 1}; });
        return sum / (lines - 1);
    };
    for (const char* name : {"textures\\terrain\\terrain0.jpg", "textures\\terrain\\terrain1.jpg", "textures\\terrain\\terrain2.jpg",
                             "textures\\terrain\\terrain3.jpg", "textures\\terrain\\terrain4.jpg",
                             "textures\\terrain\\modulation.png", "textures\\water\\water.jpg"}) {
        const Picture p = load(name);
        const int n = p.width;
        const double acrossX = medianDifference(p, p, n, [&](int k) { return std::pair{n - 1, k}; }, [&](int k) { return std::pair{0, k}; });
        const double acrossY = medianDifference(p, p, n, [&](int k) { return std::pair{k, n - 1}; }, [&](int k) { return std::pair{k, 0}; });
        EXPECT_LE(acrossX, 1.5 * usualStep(p, true) + 1.0) << name;
        EXPECT_LE(acrossY, 1.5 * usualStep(p, false) + 1.0) << name;
    }

    // Edges the cube's faces share: (face, side) pairs, side 0 left, 1 right, 2 top, 3 bottom;
    // reversed when the two edges run in opposite directions.
    struct Shared {
        const char* a;
        int sideA;
        const char* b;
        int sideB;
        bool reversed;
    };
    const Shared shared[] = {{"north", 1, "east", 0, false}, {"east", 1, "south", 0, false}, {"south", 1, "west", 0, false},
                             {"west", 1, "north", 0, false}, {"top", 3, "north", 2, false}, {"top", 0, "west", 2, false},
                             {"top", 1, "east", 2, true},    {"top", 2, "south", 2, true}};
    for (const Shared& edge : shared) {
        const Picture a = load(std::string("textures\\skybox\\") + edge.a + ".png");
        const Picture b = load(std::string("textures\\skybox\\") + edge.b + ".png");
        const int n = a.width;
        const auto along = [n](int side, int k) {
            switch (side) {
            case 0: return std::pair{0, k};
            case 1: return std::pair{n - 1, k};
            case 2: return std::pair{k, 0};
            default: return std::pair{k, n - 1};
            }
        };
        const double step = medianDifference(a, b, n, [&](int k) { return along(edge.sideA, k); },
                                             [&](int k) { return along(edge.sideB, edge.reversed ? n - 1 - k : k); });
        EXPECT_LE(step, 1.5 * std::max(usualStep(a, true), usualStep(a, false)) + 1.0) << edge.a << " / " << edge.b;
    }
}

TEST_F(ContentTest, ImportMapsHoldTheValuesTheEditorReads)
{
    const Picture ground = load("textures\\heightmaps\\groundmap.png");
    std::map<int, int> values;
    for (int z = 0; z < ground.height; ++z)
        for (int x = 0; x < ground.width; ++x)
            ++values[ground.at(x, z, 0)];
    std::set<int> kinds;
    for (const auto& [value, count] : values)
        kinds.insert(value);
    EXPECT_EQ(kinds, (std::set<int>{0, 128, 192, 255})) << "grass, concrete, and both with a street";

    // Every street shape the atlas offers occurs, counted as the environment counts it.
    const auto street = [&](int x, int z) {
        return x >= 0 && z >= 0 && x < 160 && z < 160 && (ground.at(x, z, 0) == 192 || ground.at(x, z, 0) == 255);
    };
    std::set<std::array<bool, 4>> shapes;
    for (int z = 0; z < 160; ++z)
        for (int x = 0; x < 160; ++x)
            if (street(x, z))
                shapes.insert({street(x - 1, z), street(x + 1, z), street(x, z - 1), street(x, z + 1)});
    EXPECT_EQ(shapes.size(), 16u) << "all 16 neighbour patterns (codes 1..15, code 1 twice)";

    const Picture heights = load("textures\\heightmaps\\heightmap.png");
    const auto [low, high] = std::minmax_element(heights.bytes.begin(), heights.bytes.end());
    EXPECT_LE(*low * 0.5, 3.0) << "some land lies under water";
    EXPECT_GE(*high * 0.5, 60.0) << "and some rises to hills";
}

TEST_F(ContentTest, ParticlesFadeOutBeforeTheirEdgesAndPostersDiffer)
{
    for (const auto& [name, cell] : {std::pair{"textures\\particles\\explosion.png", 64}, std::pair{"textures\\particles\\pickup.png", 128},
                                     std::pair{"textures\\particles\\redstreak_shot.png", 128},
                                     std::pair{"textures\\particles\\redstreak_impact.png", 128}}) {
        const Picture p = load(name);
        int rim = 0, inside = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const bool onRim = x % cell == 0 || y % cell == 0 || x % cell == cell - 1 || y % cell == cell - 1;
                (onRim ? rim : inside) = std::max(onRim ? rim : inside, p.at(x, y, 3));
            }
        EXPECT_LE(rim, 2) << name;
        EXPECT_GT(inside, 200) << name;
    }
    std::vector<Picture> posters;
    for (const PictureSpec& spec : pictures())
        if (spec.name.find("\\ads\\") != std::string::npos)
            posters.push_back(load(spec.name));
    for (std::size_t i = 0; i < posters.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_GT(meanDifference(posters[i], posters[j], 256 * 512, [](int k) { return std::pair{k % 256, k / 256}; },
                                     [](int k) { return std::pair{k % 256, k / 256}; }),
                      10.0)
                << "posters " << i + 1 << " and " << j + 1;
}
