// Model drawing: one frame draws 1,000 instances of a 2,000-triangle model, once from static buffer
// objects and once from client-side arrays; each benchmark reports frames per second. Needs an X
// server with GLX (run it under xvfb-run). Runs an engine core and the visual module in a
// temporary program folder with the default shaders copied in.

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {
constexpr int kInstances = 1000;
// 50 x 20 quads of a sphere = 2,000 triangles.
constexpr int kSlices = 50;
constexpr int kStacks = 20;

QRVISXModel* gBufferObjects = nullptr;
QRVISXModel* gClientArrays = nullptr;

void buildSphere(QRVISXModel& model)
{
    model.setLodCount(1);
    QRVISXModelLod& lod = *model.getLod(0);
    lod.setGroupCount(1);
    QRVISXVertexBuffer& buffer = *lod.getGroup(0)->createBuffer();
    buffer.setTexCoordComponents(0, 2);
    buffer.create((kSlices + 1) * (kStacks + 1), kSlices * kStacks * 6);
    for (int stack = 0; stack <= kStacks; ++stack)
        for (int slice = 0; slice <= kSlices; ++slice) {
            const float theta = 3.14159265f * static_cast<float>(stack) / kStacks;
            const float phi = 6.2831853f * static_cast<float>(slice) / kSlices;
            const Vector3 n = {std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
            const int v = stack * (kSlices + 1) + slice;
            buffer.setVertexPosition(v, {n.x * 0.02f, n.y * 0.02f, n.z * 0.02f});
            buffer.setNormal(v, n);
            buffer.setTexCoord(0, v, {static_cast<float>(slice) / kSlices, static_cast<float>(stack) / kStacks});
        }
    int index = 0;
    for (int stack = 0; stack < kStacks; ++stack)
        for (int slice = 0; slice < kSlices; ++slice) {
            const int a = stack * (kSlices + 1) + slice;
            const int b = a + kSlices + 1;
            for (int corner : {a, b, a + 1, a + 1, b, b + 1})
                buffer.setIndex(index++, corner);
        }
    lod.buildBuffer();
}

// One frame: the instances on a 40 x 25 grid over the view, then wait for the driver to finish.
void drawFrame(QRVISXModel& model)
{
    QRVISXGL& gl = qrGL();
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Clip space is eye space: the grid covers the view whatever the cameras left behind.
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    auto* materials = qrVisual()->getMaterialManager();
    materials->resetForMaterialLit();
    materials->apply();
    for (int i = 0; i < kInstances; ++i) {
        GLfloat place[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        place[12] = -0.95f + 0.05f * static_cast<float>(i % 40);
        place[13] = -0.95f + 0.08f * static_cast<float>(i / 40);
        gl.pushMatrix();
        gl.multMatrixf(place);
        model.renderLod(0, false);
        gl.popMatrix();
    }
    // The frame counts once the driver has drawn it, not when the calls were queued.
    gl.finish();
}

void run(benchmark::State& state, QRVISXModel* model)
{
    for (auto _ : state)
        drawFrame(*model);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(kInstances * kSlices * kStacks * 2));
}

void BM_ModelFrameFromBufferObjects(benchmark::State& state)
{
    run(state, gBufferObjects);
}
BENCHMARK(BM_ModelFrameFromBufferObjects)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ModelFrameFromClientArrays(benchmark::State& state)
{
    run(state, gClientArrays);
}
BENCHMARK(BM_ModelFrameFromClientArrays)->Unit(benchmark::kMillisecond)->UseRealTime();

void processEvents()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
} // namespace

int main(int argc, char** argv)
{
    // GLX needs the X11 platform; an offscreen Qt has no windows to draw in.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);

    std::string pattern = (std::filesystem::temp_directory_path() / "kipster-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const std::filesystem::path folder = pattern;
    std::error_code ignored;
    std::filesystem::copy(std::filesystem::path(KIPSTER_SOURCE_DIR) / "content" / "shaders", folder / "shaders",
                          std::filesystem::copy_options::recursive, ignored);
    qrSetProgramFolder(folder);
    // An error must not stop the run behind a modal box; it is printed instead.
    qrSetMessagePresenter([](QRMessageKind, const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    {
        QWidget mainForm;
        QROwned<QRCOREMain> core = qrNew<QRCOREMain>(&mainForm, 2);
        core->initialize();
        QWidget window;
        window.setWindowTitle("Model Benchmark");
        window.resize(640, 480);
        window.show();
        processEvents();
        core->getDeviceManager()->createControlDevice("Visual Device", &window);
        {
            QROwned<QRVISXMain> visual = qrNew<QRVISXMain>(nullptr);
            visual->initialize();
            if (visual->generateMainRenderContext("Main RC", "Visual Device")) {
                visual->getRenderContextManager()->activatePrimaryContext();
                auto buffers = qrNew<QRVISXModel>(nullptr);
                buildSphere(*buffers);
                buffers->generateVBO();
                auto arrays = qrNew<QRVISXModel>(nullptr);
                buildSphere(*arrays);
                gBufferObjects = buffers.get();
                gClientArrays = arrays.get();
                benchmark::RunSpecifiedBenchmarks();
                gBufferObjects = nullptr;
                gClientArrays = nullptr;
            }
        }
    }
    benchmark::Shutdown();
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
