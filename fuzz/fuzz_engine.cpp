#include "fuzz_engine.h"

#include "gl_recorder.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/view/qr_visx_viewport.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {
fs::path gFolder;

void removeFolder()
{
    std::error_code ignored;
    if (!gFolder.empty())
        fs::remove_all(gFolder, ignored);
}
} // namespace

FuzzEngine& FuzzEngine::get(Parts parts)
{
    static FuzzEngine engine(parts);
    return engine;
}

FuzzEngine::FuzzEngine(Parts parts)
{
    // Qt's offscreen platform gives the core its main-form widget without a window system.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kipster_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;

    char pattern[] = "/tmp/kipster-fuzz-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("cannot create the program folder");
    folder_ = pattern;
    gFolder = folder_;
    std::atexit(removeFolder);
    // The hand-written content (default shaders, materials, settings) is what the loaders meet in
    // a real program folder: scripts may name it, and the material manager needs its defaults.
    fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content", folder_, fs::copy_options::recursive);
    // A glyph sheet for fonts to name, so that their drawing runs with a real texture.
    QImage sheet(256, 256, QImage::Format_Grayscale8);
    sheet.fill(128);
    fs::create_directories(folder_ / "fonts");
    sheet.save(QString::fromStdString((folder_ / "fonts" / "default.png").string()), "PNG");
    // Millions of inputs each report their errors: the log file would fill the drive.
    fs::create_symlink("/dev/null", folder_ / "log.html");

    qrSetProgramFolder(folder_);
    qrSetMessagePresenter([](QRMessageKind, const std::string&) {});
    static QWidget* mainForm = new QWidget();
    static QRCOREMain* core = qrNew<QRCOREMain>(mainForm, 2).release();
    core->initialize();
    if (parts == Parts::Visual)
        startVisual();
    endInput();
}

void FuzzEngine::startVisual()
{
    gl_ = new GLRecorder();
    gl_->setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                        "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                        "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                        "GL_ARB_fragment_shader", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"});
    gl_->setInteger(GL_MAX_TEXTURE_UNITS, 4);
    gl_->setInteger(GL_MAX_TEXTURE_SIZE, 2048);
    static QRVISXMain* visual = qrNew<QRVISXMain>(nullptr).release();
    visual->getExtensionManager()->initialize();
    visual->getVertexBufferManager()->initialize();
    visual->getTransform()->initialize();
    visual->getMaterialManager()->initialize();
    visual->getViewPort()->set(0, 0, 640, 480);
    visual->getCameraManager()->initialize();
    // The content's materials and shader configurations stay loaded, as in the running game, where
    // every model shares them: an input that names one finds it loaded instead of compiling it anew.
    static std::vector<QRManagedObject*> held;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
        std::string name = fs::relative(entry.path(), folder_).string();
        std::replace(name.begin(), name.end(), '/', '\\');
        if (entry.path().extension() == ".material")
            held.push_back(qrAssets()->acquire<QRVISXMaterial>(name));
        else if (entry.path().extension() == ".shader")
            held.push_back(qrAssets()->acquire<QRVISXShaderConfiguration>(name));
    }
}

void FuzzEngine::writeFile(const std::string& relativePath, const std::uint8_t* data, std::size_t size) const
{
    const fs::path target = folder_ / relativePath;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
}

void FuzzEngine::writeFile(const std::string& relativePath, std::string_view bytes) const
{
    writeFile(relativePath, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void FuzzEngine::endInput()
{
    if (auto* log = qrLog())
        log->clearLines();
    if (gl_) {
        gl_->clearCalls();
        gl_->forgetDeletedObjects();
    }
}
