// The real game frame over the shipped world (logic step and the world's whole picture: shadow
// pass, sky, terrain, entities, water, post-processing, HUD), in a 1024 x 768 window, along three
// paths:
// - the standard circle of bench_world_flyover (radius 800 around the world's centre, height 80,
//   15 degrees down, the hero left where he stands);
// - the town's streets at street level: the hero walks the loop of streets around the campus
//   square and the camera follows behind him as in play;
// - the hero standing at the start, as a player who has just started sees it.
// For each the median and the 90th percentile of the frame time as shipped and with every block in
// full detail and the shadow map drawn every frame (both in the same lap, frame by frame in turns),
// then one more lap with every step of the frame finished by the driver (glFinish) before the next
// starts: the time each step takes. First, the start-up: the world built and loaded, then its
// first frame.
//
// Needs an X server with GLX: xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/bench_game_flyover
// [program folder [frames [picture prefix]]]. The program folder defaults to build/bin; with a
// picture prefix each path's first frame is saved as <prefix>_<path>.png.

#include "bench_flyover_support.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_shadow.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 240;
constexpr float kDelta = 1.0f / 40.0f;
constexpr float kCentre = 1280.0f;
constexpr float kRadius = 800.0f;
constexpr float kHeightAbove = 80.0f;
constexpr float kPitch = -15.0f;
// The streets on ground cell lines 74 and 90 enclose the campus square: x and z of their middles.
constexpr float kStreetLow = 16.0f * 74.0f + 8.0f;
constexpr float kStreetHigh = 16.0f * 90.0f + 8.0f;
// The hero's start and first heading.
constexpr float kStartX = 1004.0f;
constexpr float kStartZ = 1010.0f;
constexpr float kStartYaw = 220.0f;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Where a path puts the world at step of steps, before the logic step runs.
using Path = std::function<void(APPWRLDMain& world, int step, int steps)>;

void placeHero(APPWRLDMain& world, float x, float z, float yaw)
{
    APPENTTKip* hero = world.getEntities()->getKip();
    if (!hero)
        return;
    Vector3 at{x, 0.0f, z};
    at.y = world.getEnvironment()->getHeight(at);
    hero->setPosition(at);
    hero->setHeading(yaw, 0.0f);
    // Only the blocks around the camera update: it must be near the hero for him to place it.
    world.getCamera()->setPosition(at);
}

// The camera on the standard circle, after the logic step (which would let a nearby hero take it).
void placeCircleCamera(APPWRLDMain& world, int step, int steps)
{
    const float angle = 360.0f * static_cast<float>(step) / static_cast<float>(steps);
    const float radians = angle * 3.14159265f / 180.0f;
    world.getCamera()->setPosition(
        {kCentre + kRadius * std::sin(radians), kHeightAbove, kCentre + kRadius * std::cos(radians)});
    world.getCamera()->setOrientation(QRMATHQuaternion::fromRotationY(angle) *
                                      QRMATHQuaternion::fromRotationX(kPitch));
}

// The hero along the loop of streets, walking with the traffic's way round; yaw 270 looks along
// +x, 180 along +z, 90 along -x, 0 along -z.
void walkStreets(APPWRLDMain& world, int step, int steps)
{
    const float side = kStreetHigh - kStreetLow;
    const float along = 4.0f * side * static_cast<float>(step) / static_cast<float>(steps);
    const int leg = std::min(static_cast<int>(along / side), 3);
    const float t = along - side * static_cast<float>(leg);
    switch (leg) {
    case 0: placeHero(world, kStreetLow + t, kStreetLow, 270.0f); break;
    case 1: placeHero(world, kStreetHigh, kStreetLow + t, 180.0f); break;
    case 2: placeHero(world, kStreetHigh - t, kStreetHigh, 90.0f); break;
    default: placeHero(world, kStreetLow, kStreetHigh - t, 0.0f); break;
    }
}

void standAtStart(APPWRLDMain& world, int, int)
{
    placeHero(world, kStartX, kStartZ, kStartYaw);
}

struct Lap {
    const char* name;
    Path before;
    Path after;
};

// One game frame: the logic step with a fixed delta, then the picture as the application draws it,
// finished by the driver before the clock stops.
double gameFrame(APPWRLDMain& world, const Lap& lap, int step, int steps, const std::string& picture = {})
{
    const auto start = Clock::now();
    if (lap.before)
        lap.before(world, step, steps);
    qrTime()->setDelta(kDelta);
    world.update();
    if (lap.after)
        lap.after(world, step, steps);
    QRVISXMain& visual = *qrVisual();
    visual.getRenderContextManager()->activatePrimaryContext();
    qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
    qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    world.render();
    if (!picture.empty())
        saveFramePicture(picture);
    if (QRVISXRenderContext* primary = visual.getRenderContextManager()->getPrimaryContext())
        primary->swapBuffers();
    visual.endFrame();
    qrGL().finish();
    return millisecondsSince(start);
}

// The lap again with the driver finishing each step before the next: milliseconds per frame by step.
std::vector<std::pair<std::string, double>> breakdown(APPWRLDMain& world, const Lap& lap, int frames)
{
    std::vector<std::pair<std::string, double>> steps;
    std::map<std::string, std::size_t> index;
    std::string current = "Placing";
    auto mark = Clock::now();
    auto close = [&](const std::string& next) {
        qrGL().finish();
        const auto now = Clock::now();
        auto [at, added] = index.try_emplace(current, steps.size());
        if (added)
            steps.emplace_back(current, 0.0);
        steps[at->second].second += std::chrono::duration<double, std::milli>(now - mark).count();
        current = next;
        mark = now;
    };
    world.setStepObserver([&](std::string_view step) { close(std::string(step)); });
    for (int step = 0; step < frames; ++step) {
        current = "Placing";
        mark = Clock::now();
        if (lap.before)
            lap.before(world, step, frames);
        qrTime()->setDelta(kDelta);
        world.update();
        if (lap.after)
            lap.after(world, step, frames);
        close("Clear");
        qrVisual()->getRenderContextManager()->activatePrimaryContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        world.render();
        close("Swap");
        if (QRVISXRenderContext* primary = qrVisual()->getRenderContextManager()->getPrimaryContext())
            primary->swapBuffers();
        qrVisual()->endFrame();
        close("Placing");
    }
    world.setStepObserver({});
    for (auto& [name, total] : steps)
        total /= frames;
    return steps;
}

// How the frame is drawn: as it ships (level of detail, the shadow map kept while nothing in it
// changes), or with every block in full and the shadow map drawn every frame (as before either).
struct Setting {
    const char* name;
    bool savings;
};
const Setting kSettings[] = {{"as shipped", true}, {"full detail, shadow every frame", false}};

void useSetting(APPWRLDMain& world, const Setting& setting)
{
    world.getEnvironment()->setLevelOfDetail(setting.savings);
    if (!setting.savings)
        world.getShadow()->invalidate();
}

void runLap(APPWRLDMain& world, const Lap& lap, int frames, const std::string& picturePrefix)
{
    // A coarse lap first: every block on the way builds its buffers and every texture reaches the
    // driver before the clock runs.
    for (const Setting& setting : kSettings) {
        for (int step = 0; step < 24; ++step) {
            useSetting(world, setting);
            gameFrame(world, lap, step, 24);
        }
    }
    if (!picturePrefix.empty()) {
        useSetting(world, kSettings[0]);
        gameFrame(world, lap, 0, frames, picturePrefix + "_" + lap.name + ".png");
    }
    // Both settings frame by frame in turns, so that whatever else the machine does weighs on both.
    std::vector<double> times[2];
    for (int step = 0; step < frames; ++step) {
        for (int turn = 0; turn < 2; ++turn) {
            const int setting = (step + turn) % 2;
            useSetting(world, kSettings[setting]);
            times[setting].push_back(gameFrame(world, lap, step, frames));
        }
    }
    for (int setting = 0; setting < 2; ++setting) {
        const FlyoverFigures figures = flyoverFigures(times[setting]);
        std::printf("%-8s %-32s median %7.2f ms   90th percentile %7.2f ms\n", lap.name, kSettings[setting].name,
                    figures.median, figures.percentile90);
    }
    useSetting(world, kSettings[0]);
    std::printf("         by step, as shipped (each finished by the driver):");
    for (const auto& [name, milliseconds] : breakdown(world, lap, std::max(frames / 4, 8)))
        if (milliseconds >= 0.05)
            std::printf("  %s %.2f", name.c_str(), milliseconds);
    std::printf("\n");
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    // GLX needs the X11 platform; an offscreen Qt has no windows to draw in.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    const std::filesystem::path programFolder = argc > 1 ? std::filesystem::path(argv[1])
                                                         : std::filesystem::path(KIPSTER_PROGRAM_FOLDER);
    const int frames = argc > 2 ? std::max(std::atoi(argv[2]), 8) : kFrames;
    const std::string picturePrefix = argc > 3 ? argv[3] : "";
    const std::filesystem::path folder = useMirroredProgramFolder(std::filesystem::absolute(programFolder));
    if (folder.empty())
        return 1;
    {
        FlyoverEngine engine("Kipster Game Flyover", kWidth, kHeight);
        QRVISXMain* visual = engine.getVisual();
        if (!visual)
            return 1;

        const auto startUp = Clock::now();
        auto world = qrNew<APPWRLDMain>(nullptr);
        // The steps of bringing the world up and loading it, each timed until the next begins.
        std::vector<std::pair<std::string, double>> startSteps;
        auto stepStart = Clock::now();
        world->setStepObserver([&](std::string_view step) {
            if (!startSteps.empty())
                startSteps.back().second = millisecondsSince(stepStart);
            startSteps.emplace_back(std::string(step), 0.0);
            stepStart = Clock::now();
        });
        world->initialize();
        if (!startSteps.empty())
            startSteps.back().second = millisecondsSince(stepStart);
        world->setStepObserver({});
        const double loaded = millisecondsSince(startUp);
        const Lap start{"start", standAtStart, {}};
        gameFrame(*world, start, 0, 1);
        const double firstFrame = millisecondsSince(startUp);

        std::printf("Game flyover, %d x %d, %d frames per path\n",
                    visual->getViewPort()->getRight() - visual->getViewPort()->getLeft(),
                    visual->getViewPort()->getHeight(), frames);
        std::printf("start-up: world built and loaded %.0f ms, first frame drawn %.0f ms\n", loaded, firstFrame);
        std::printf("         by step:");
        for (const auto& [name, milliseconds] : startSteps)
            if (milliseconds >= 1.0)
                std::printf("  %s %.0f", name.c_str(), milliseconds);
        std::printf("\n");
        const Lap laps[] = {
            {"circle", {}, placeCircleCamera},
            {"streets", walkStreets, {}},
            start,
        };
        for (const Lap& lap : laps)
            runLap(*world, lap, frames, picturePrefix);
        world.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
