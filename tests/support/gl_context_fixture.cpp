#include "gl_context_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "visual/qr_visx_main.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <filesystem>
#include <system_error>

namespace {
class Panel : public QWidget {
public:
    using QWidget::QWidget;
    void recreateNativeWindow()
    {
        destroy();
        create();
    }
};
} // namespace

GLContextFixture::GLContextFixture() : window_(std::make_unique<QWidget>())
{
    window_->setWindowTitle("GL Test");
    window_->resize(kPanelWidth, kPanelHeight);
    panel_ = new Panel(window_.get());
    panel_->setGeometry(0, 0, kPanelWidth, kPanelHeight);
    window_->show();
    processEvents();
    core().getDeviceManager()->createControlDevice("Visual Device", panel_);
    // The visual module loads the default shader configurations from the program folder.
    std::error_code ignored;
    std::filesystem::copy(std::filesystem::path(KIPSTER_SOURCE_DIR) / "content" / "shaders",
                          programFolder().path() / "shaders",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          ignored);
    visual_ = qrNew<QRVISXMain>(nullptr).release();
    visual_->initialize();
}

GLContextFixture::~GLContextFixture()
{
    shutDownVisual();
}

void GLContextFixture::shutDownVisual()
{
    if (visual_)
        QRDestroy()(visual_);
    visual_ = nullptr;
}

void GLContextFixture::recreatePanelWindow()
{
    static_cast<Panel*>(panel_)->recreateNativeWindow();
    panel_->show();
    processEvents();
}

std::size_t GLContextFixture::logCount(const std::string& text) const
{
    const std::string log = logText();
    std::size_t found = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++found;
    return found;
}

void GLContextFixture::processEvents()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
