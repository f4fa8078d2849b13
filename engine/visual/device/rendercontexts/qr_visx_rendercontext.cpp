#include "visual/device/rendercontexts/qr_visx_rendercontext.h"

#include "visual/device/qr_visx_antialiasing.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

QRVISXRenderContext::QRVISXRenderContext(QRObject* owner, QRCOREDevice* device, std::string_view name)
    : QRObject(owner, name)
{
    if (!device) {
        reportError("Create", "No device defined for this render context");
        return;
    }
    bindToDevice(device);
}

void QRVISXRenderContext::restoreEngineState()
{
    auto* visual = qrVisual();
    if (!visual || !visual->isInitialized())
        return;
    visual->getVertexBufferManager()->restoreState();
    visual->getMaterialManager()->resetAll();
    visual->getTransform()->getWorld()->apply();
    visual->getRenderTargetManager()->resetTargets();
    visual->getViewPort()->fitToRenderContext();
    visual->getCameraManager()->restoreState();
}

void QRVISXRenderContext::initGLDefaults()
{
    QRVISXGL& gl = qrGL();
    gl.hint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    const GLfloat ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    gl.lightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    gl.colorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    gl.enable(GL_COLOR_MATERIAL);
    gl.enable(GL_LINE_SMOOTH);
    gl.enable(GL_POINT_SMOOTH);
}

void QRVISXRenderContext::setPixelFormatParameters(int colorMode, int depthBits, bool stencil)
{
    colorMode_ = colorMode;
    depthBits_ = depthBits;
    stencil_ = stencil;
    valid_ = false;
    buildFailed_ = false;
}

void QRVISXRenderContext::bindToDevice(QRCOREDevice* device)
{
    if (!device) {
        reportError("bindToDevice", "A render context must be bound to a device");
        return;
    }
    device_ = device;
    valid_ = false;
    buildFailed_ = false;
}

void QRVISXRenderContext::takeNewGLContextSerial()
{
    static std::uint64_t lastSerial = 0;
    glContextSerial_ = ++lastSerial;
}

int QRVISXRenderContext::getSampleCount() const
{
    auto* visual = qrVisual();
    if (!visual || visual->getRenderContextManager()->getPrimaryContext() != this)
        return 0;
    const int quality = visual->getDisplayManager()->getAntialiasing()->getAntialiasingQuality();
    return quality >= 1 && quality <= 4 ? 1 << quality : 0;
}
