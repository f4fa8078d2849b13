#include "visual/device/qr_visx_antialiasing.h"

#include "core/qr_core_log.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/device/rendercontexts/qr_visx_glx.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

namespace {

const char* const kLevelNames[] = {"none", "2x", "4x", "8x", "16x"};

// The level below the first sample count the server refused.
int levelBelow(int refusedSamples)
{
    switch (refusedSamples) {
    case 2:
        return 0;
    case 4:
        return 1;
    case 8:
        return 2;
    case 16:
        return 3;
    default:
        return refusedSamples >= 32 && refusedSamples <= 999 ? 4 : 0;
    }
}

void logInformation(const std::string& text)
{
    if (auto* log = qrLog())
        log->logInformation(text);
}

} // namespace

QRVISXAntialiasing::QRVISXAntialiasing(QRObject* owner) : QRObject(owner, "QR VISX Antialiasing") {}

void QRVISXAntialiasing::checkAntialiasing()
{
    maxQuality_ = 0;
    auto* visual = qrVisual();
    if (!visual)
        return;
    auto* extensions = visual->getExtensionManager();
    const bool multisample = extensions->loadExtension("GL_ARB_multisample", false);
    if (!multisample || !extensions->loadExtension("GLX_ARB_multisample", false)) {
        logInformation("Maximum Multisampling quality: none");
        return;
    }
    visual->getRenderContextManager()->activateContext(nullptr);
    qrglx::DisplayHandle display = qrglx::currentDisplay();
    if (!display) {
        reportError("checkAntialiasing", "Could not get device context from test context!");
        return;
    }
    qrglx::PixelFormat format;
    format.depthBits = 16;
    format.stencilBits = 0;
    qrglx::ConfigHandle config = nullptr;
    // Counts beyond 1000 samples are treated as refused; the probe has to end somewhere.
    int samples = 1;
    do {
        samples *= 2;
        format.samples = samples;
    } while (samples < 1024 && qrglx::chooseConfig(display, format, config) == qrglx::ConfigResult::Found);
    maxQuality_ = levelBelow(samples);
    logInformation(std::string("Maximum multisampling quality: ") + kLevelNames[maxQuality_]);
    if (maxQuality_ > 0) {
        qrGL().enable(GL_MULTISAMPLE);
        qrGL().enable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    }
}

void QRVISXAntialiasing::setAntialiasingQuality(int level)
{
    if (level < 0 || level > maxQuality_) {
        reportError("setAntialiasingQuality", "The selected antialiasing quality is not inside the valid range");
        return;
    }
    if (level == quality_)
        return;
    quality_ = level;
    if (auto* visual = qrVisual())
        if (auto* primary = visual->getRenderContextManager()->getPrimaryContext())
            primary->bindToDevice(primary->getDevice());
}
