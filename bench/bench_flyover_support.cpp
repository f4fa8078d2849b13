#include "bench_flyover_support.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/device/qr_visx_vsync.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/view/qr_visx_viewport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

FlyoverFigures flyoverFigures(std::vector<double> times)
{
    if (times.empty())
        return {};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[(times.size() * 9) / 10]};
}

std::filesystem::path useMirroredProgramFolder(const std::filesystem::path& programFolder)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kipster-flyover-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    const std::filesystem::path mirror = pattern;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(programFolder, ignored))
        if (entry.path().filename() != "log.html")
            std::filesystem::create_symlink(entry.path(), mirror / entry.path().filename(), ignored);
    qrSetProgramFolder(mirror);
    qrSetMessagePresenter([](QRMessageKind, const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    return mirror;
}

FlyoverEngine::FlyoverEngine(const char* title, int width, int height)
{
    core_ = qrNew<QRCOREMain>(&mainForm_, 2);
    core_->initialize();
    window_.setWindowTitle(title);
    window_.resize(width, height);
    window_.show();
    processWindowEvents();
    core_->getDeviceManager()->createControlDevice("Visual Device", &window_);
    visual_ = qrNew<QRVISXMain>(nullptr);
    visual_->initialize();
    if (!visual_->generateMainRenderContext("Main RC", "Visual Device"))
        return;
    visual_->getDisplayManager()->getVSync()->setVSync(false);
    visual_->getRenderContextManager()->activatePrimaryContext();
    visual_->getViewPort()->fitToRenderContext();
    ready_ = true;
}

// The visual module goes before the core it reports through.
FlyoverEngine::~FlyoverEngine() = default;

void processWindowEvents()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void saveFramePicture(const std::string& path)
{
    QRVISXViewPort& viewport = *qrVisual()->getViewPort();
    const int width = viewport.getRight() - viewport.getLeft();
    const int height = viewport.getHeight();
    QImage picture(width, height, QImage::Format_RGB888);
    qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
    qrGL().readBuffer(GL_BACK);
    for (int row = 0; row < height; ++row)
        qrGL().readPixels(0, height - 1 - row, width, 1, GL_RGB, GL_UNSIGNED_BYTE, picture.scanLine(row));
    picture.save(QString::fromStdString(path));
}
