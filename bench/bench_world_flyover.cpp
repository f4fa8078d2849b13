// The standard flyover over the generated world, with the terrain drawn cell by cell in immediate
// mode, from the blocks' static buffers in full detail, and from them with level of detail (far
// blocks coarser and shaded from the layers' average colours): the camera circles the world's centre at
// radius 800 and height 80, looking 15 degrees down towards it (field of view 45, far plane 500),
// in a 1024 x 768 window. Prints the median and 90th-percentile frame time of each method, and of
// the static buffers once more with the terrain textures filtered at the driver's full anisotropy
// (what every renderer got before software renderers went without it; an eighth of the frames, as
// a software renderer takes seconds for each of them).
//
// Needs an X server with GLX: xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/bench_world_flyover
// [--flat-ground] [program folder [frames [picture.png]]]. The world comes from the program folder (build/bin unless given): whatever
// area files exist there, flat land otherwise; the picture, when asked for, is the lap's first frame. The log goes to a temporary folder that mirrors it.
// With --flat-ground every terrain shading gives one flat colour instead of reading its textures:
// what is left is what the terrain's geometry costs, to set against a peer's terrain that reads
// one texture where the ground near the eye reads four or more.

#include "bench_flyover_support.h"

#include "environment/app_envr_area.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_main.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 240;
constexpr int kWarmUpFrames = 24;
constexpr float kCentre = 1280.0f;
constexpr float kRadius = 800.0f;
constexpr float kHeightAbove = 80.0f;
constexpr float kPitch = -15.0f;
constexpr float kFieldOfView = 45.0f;
constexpr float kFarPlane = 500.0f;

// The camera at step of steps around the circle, facing the centre.
void placeCamera(int step, int steps)
{
    const float angle = 360.0f * static_cast<float>(step) / static_cast<float>(steps);
    const float radians = angle * 3.14159265f / 180.0f;
    QRVISXCamera3D& camera = *qrVisual()->getCameraManager()->get3DCamera();
    camera.setPosition({kCentre + kRadius * std::sin(radians), kHeightAbove, kCentre + kRadius * std::cos(radians)});
    // Turned about Y so that forward (-Z) points at the centre, then tilted down.
    camera.setOrientation(QRMATHQuaternion::fromRotationY(angle) * QRMATHQuaternion::fromRotationX(kPitch));
    camera.setFieldOfView(kFieldOfView);
    camera.setClipPlanes(0.6f, kFarPlane);
    qrVisual()->getCameraManager()->activateCamera(&camera);
}

// One frame as the game draws the terrain, finished by the driver before the clock stops.
double drawFrame(APPENVRMain& environment, APPWRLDLight& light, int step, int steps)
{
    const auto start = std::chrono::steady_clock::now();
    QRVISXMain& visual = *qrVisual();
    visual.getRenderContextManager()->activatePrimaryContext();
    QRVISXGL& gl = qrGL();
    gl.clearColor(0.3f, 0.3f, 0.3f, 1.0f);
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    placeCamera(step, steps);
    light.apply();
    environment.render();
    if (QRVISXRenderContext* primary = visual.getRenderContextManager()->getPrimaryContext())
        primary->swapBuffers();
    gl.finish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The ways of drawing the terrain that are compared.
struct Method {
    const char* name;
    APPENVRDrawing drawing;
    bool levelOfDetail;
};
const Method kMethods[] = {
    {"cell by cell (immediate mode):", APPENVRDrawing::Cells, false},
    {"static buffers, full detail:", APPENVRDrawing::StaticBuffers, false},
    {"static buffers, level of detail:", APPENVRDrawing::StaticBuffers, true},
};
constexpr int kMethodCount = static_cast<int>(std::size(kMethods));

void useMethod(APPENVRMain& environment, const Method& method)
{
    environment.setDrawing(method.drawing);
    environment.setLevelOfDetail(method.levelOfDetail);
}

// Every method over the same lap, frame by frame in turns (which one goes first rotates), so that
// whatever else the machine does at a moment weighs on all alike.
std::vector<FlyoverFigures> measure(APPENVRMain& environment, APPWRLDLight& light, int frames)
{
    // One lap in coarse steps first: every block the flyover sees builds its buffers and every
    // texture reaches the driver before the clock runs.
    for (const Method& method : kMethods) {
        useMethod(environment, method);
        for (int step = 0; step < kWarmUpFrames; ++step)
            drawFrame(environment, light, step, kWarmUpFrames);
    }
    std::vector<double> times[kMethodCount];
    for (int step = 0; step < frames; ++step) {
        for (int turn = 0; turn < kMethodCount; ++turn) {
            const int method = (step + turn) % kMethodCount;
            useMethod(environment, kMethods[method]);
            times[method].push_back(drawFrame(environment, light, step, frames));
        }
    }
    std::vector<FlyoverFigures> all;
    for (const auto& methodTimes : times)
        all.push_back(flyoverFigures(methodTimes));
    return all;
}

// Every texture the terrain samples, filtered at the given anisotropy from now on.
void setTerrainAnisotropy(APPENVRMain& environment, int degree)
{
    std::vector<QRVISXTexture2*> textures{environment.getModulationTexture(), environment.getStreetsTexture()};
    for (int i = 0; i < 5; ++i)
        textures.push_back(environment.getTerrainTexture(i));
    for (QRVISXTexture2* texture : textures)
        if (texture)
            texture->setAnisotropy(degree);
}

// The static buffers with the terrain textures at the driver's maximum anisotropy, then back.
FlyoverFigures measureFullAnisotropy(APPENVRMain& environment, APPWRLDLight& light, int frames)
{
    QRVISXTextureManager& textures = *qrVisual()->getMaterialManager()->getTextureManager();
    useMethod(environment, kMethods[1]);
    setTerrainAnisotropy(environment, std::max(textures.getMaxAnisotropy(), 1));
    std::vector<double> times;
    drawFrame(environment, light, 0, frames);
    for (int step = 0; step < frames; ++step)
        times.push_back(drawFrame(environment, light, step, frames));
    setTerrainAnisotropy(environment, textures.getAnisotropyDegree());
    return flyoverFigures(times);
}

// Replaces the mirror's link to the shaders with a folder of links to each of them, in which the
// three terrain shadings' main programs give a flat green; false when the folder cannot be made.
bool useFlatGround(const std::filesystem::path& mirror)
{
    const std::filesystem::path shaders = mirror / "shaders";
    std::error_code error;
    const std::filesystem::path real = std::filesystem::read_symlink(shaders, error);
    if (error || !std::filesystem::remove(shaders, error) || !std::filesystem::create_directory(shaders, error))
        return false;
    for (const auto& entry : std::filesystem::directory_iterator(real, error))
        std::filesystem::create_symlink(entry.path(), shaders / entry.path().filename(), error);
    for (const char* name : {"terrain.fragment", "terrain_far.fragment", "terrain_streettile.fragment"}) {
        std::filesystem::remove(shaders / name, error);
        std::ofstream flat(shaders / name);
        flat << "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(0.3, 0.5, 0.2, 1.0);\n}\n";
        if (!flat)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // GLX needs the X11 platform; an offscreen Qt has no windows to draw in.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto flatOption = std::find(arguments.begin(), arguments.end(), "--flat-ground");
    const bool flatGround = flatOption != arguments.end();
    if (flatGround)
        arguments.erase(flatOption);
    const std::filesystem::path programFolder = !arguments.empty() ? std::filesystem::path(arguments[0])
                                                                   : std::filesystem::path(KIPSTER_PROGRAM_FOLDER);
    const int frames = arguments.size() > 1 ? std::max(std::atoi(arguments[1].c_str()), 1) : kFrames;
    const std::filesystem::path folder = useMirroredProgramFolder(std::filesystem::absolute(programFolder));
    if (folder.empty())
        return 1;
    if (flatGround && !useFlatGround(folder)) {
        std::fprintf(stderr, "bench_world_flyover: cannot make the flat ground's shader folder in %s\n",
                     folder.string().c_str());
        return 1;
    }
    const std::string picturePath = arguments.size() > 2 ? arguments[2] : "";
    int areaFiles = 0;
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az)
            areaFiles += std::filesystem::exists(folder / "world" /
                                                 ("area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world"));
    {
        FlyoverEngine engine("Kipster Flyover", kWidth, kHeight);
        QRVISXMain* visual = engine.getVisual();
        if (!visual)
            return 1;

        // Area files hold entities as well as terrain: a world's entity list takes them, though
        // only the terrain is drawn here.
        auto world = qrNew<APPWRLDMain>(nullptr);
        APPENVRMain* environment = world->getEnvironment();
        environment->initialize();
        world->getEntities()->initialize();
        environment->loadAreas();
        auto light = qrNew<APPWRLDLight>(nullptr);
        light->initialize();

        std::printf("World flyover%s, %d x %d, %d frames per method, %d area file(s) loaded (flat land elsewhere)\n",
                    flatGround ? " with flat-coloured ground" : "",
                    visual->getViewPort()->getRight() - visual->getViewPort()->getLeft(),
                    visual->getViewPort()->getHeight(), frames, areaFiles);
        const std::vector<FlyoverFigures> measured = measure(*environment, *light, frames);
        for (int method = 0; method < kMethodCount; ++method)
            std::printf("%-34s median %7.2f ms   90th percentile %7.2f ms   (anisotropy %d)\n", kMethods[method].name,
                        measured[static_cast<std::size_t>(method)].median,
                        measured[static_cast<std::size_t>(method)].percentile90,
                        visual->getMaterialManager()->getTextureManager()->getAnisotropyDegree());
        const FlyoverFigures full = measureFullAnisotropy(*environment, *light, std::max(frames / 8, 4));
        std::printf("%-34s median %7.2f ms   90th percentile %7.2f ms   (anisotropy %d)\n",
                    "static buffers, full anisotropy:", full.median, full.percentile90,
                    visual->getMaterialManager()->getTextureManager()->getMaxAnisotropy());
        std::fflush(stdout);
        if (!picturePath.empty()) {
            // Drawn like a measured frame, but read back before the buffers are swapped.
            visual->getRenderContextManager()->activatePrimaryContext();
            qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
            qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            placeCamera(0, frames);
            light->apply();
            useMethod(*environment, kMethods[kMethodCount - 1]);
            environment->render();
            saveFramePicture(picturePath);
        }
        world.reset();
        light.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
