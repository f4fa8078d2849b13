// Material switching cost: every model group uses its material instance before it draws, so the
// render caches decide how many OpenGL calls a frame makes. Two materials that share their
// textures, used alternately, should cost little more than the colour each apply always sends.
// Runs the engine with the recording GL layer (no display needed) and reports its calls per use.
#include "gl_recorder.h"
#include "temp_folder.h"

#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kAppliesPerIteration = 10000;

std::string pngBytes(QColor color)
{
    QImage image(4, 4, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// An engine core in a temporary program folder with a visual module on the recorder, and two
// material instances whose materials differ in colour only and share both textures.
class Scene {
public:
    Scene() : mainForm_(std::make_unique<QWidget>())
    {
        folder_.write("textures/grass.png", pngBytes(Qt::green));
        folder_.write("textures/noise.png", pngBytes(Qt::gray));
        const std::string body = "default pass p\npass p :\nreset states\nset texture2d diffuse to texelunit 0\n"
                                 "set texture2d detail to texelunit 1\n";
        folder_.write("materials/a.material", body + "set color (1, 0, 0, 1)\n");
        folder_.write("materials/b.material", body + "set color (0, 1, 0, 1)\n");

        qrSetProgramFolder(folder_.path());
        previousPresenter_ = qrSetMessagePresenter([](QRMessageKind, const std::string&) {});
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_EXT_blend_color", "GL_EXT_blend_minmax", "GL_ARB_multitexture",
                           "GL_ARB_texture_cube_map", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader", "GL_ARB_texture_non_power_of_two"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        core_ = qrNew<QRCOREMain>(mainForm_.get(), 2);
        core_->initialize();
        visual_ = qrNew<QRVISXMain>(nullptr);
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->initialize();
        const char* materials[2] = {"materials/a.material", "materials/b.material"};
        for (int i = 0; i < 2; ++i) {
            instances_[i] = qrNew<QRVISXMaterialInstance>(nullptr);
            instances_[i]->setMaterial(materials[i]);
            instances_[i]->getScript().add("set texture2d diffuse textures/grass.png");
            instances_[i]->getScript().add("set texture2d detail textures/noise.png");
            instances_[i]->compile();
        }
        gl_.clearCalls();
    }

    ~Scene()
    {
        for (auto& instance : instances_)
            instance.reset();
        visual_.reset();
        core_.reset();
        qrSetMessagePresenter(previousPresenter_);
        qrSetProgramFolder({});
    }

    QRVISXMaterialInstance& instance(int index) { return *instances_[index]; }
    QRVISXMaterialManager& materials() { return *visual_->getMaterialManager(); }
    GLRecorder& gl() { return gl_; }

private:
    TempFolder folder_;
    GLRecorder gl_;
    std::unique_ptr<QWidget> mainForm_;
    QRMessagePresenter previousPresenter_;
    QROwned<QRCOREMain> core_;
    QROwned<QRVISXMain> visual_;
    QROwned<QRVISXMaterialInstance> instances_[2];
};

void report(benchmark::State& state, std::size_t calls, std::int64_t applies)
{
    state.counters["gl_calls_per_apply"] = static_cast<double>(calls) / static_cast<double>(applies);
    state.SetItemsProcessed(applies);
}

// The cached path: what the game does for every group it draws.
void AlternatingMaterialsSharingTextures(benchmark::State& state)
{
    Scene scene;
    std::size_t calls = 0;
    std::int64_t applies = 0;
    for (auto _ : state) {
        for (int i = 0; i < kAppliesPerIteration; ++i)
            scene.instance(i % 2).use();
        calls += scene.gl().calls().size();
        applies += kAppliesPerIteration;
        scene.gl().clearCalls();
    }
    report(state, calls, applies);
}
BENCHMARK(AlternatingMaterialsSharingTextures)->Unit(benchmark::kMillisecond);

// The same sequence as use() runs it, with every cache bypassed (each apply forced), for comparison.
void AlternatingMaterialsForcedApply(benchmark::State& state)
{
    Scene scene;
    std::size_t calls = 0;
    std::int64_t applies = 0;
    for (auto _ : state) {
        for (int i = 0; i < kAppliesPerIteration; ++i) {
            QRVISXMaterialInstance& instance = scene.instance(i % 2);
            scene.materials().getVariablePool()->assignFromInstance(instance);
            scene.materials().executePass(instance.getMaterial()->getDefaultPass());
            scene.materials().applyAll(true);
        }
        calls += scene.gl().calls().size();
        applies += kAppliesPerIteration;
        scene.gl().clearCalls();
    }
    report(state, calls, applies);
}
BENCHMARK(AlternatingMaterialsForcedApply)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // No window is shown: the core only needs a widget as its main form.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
