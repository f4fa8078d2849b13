#include "visual/qr_visx_main.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/geometry/qr_visx_displaylistmanager.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/text/qr_visx_fontmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/text/qr_visx_util.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/qr_visx_vsync.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/device/rendercontexts/qr_visx_visualrendercontext.h"

namespace {
QRVISXMain* gVisual = nullptr;

const char* errorText(GLenum error)
{
    switch (error) {
    case GL_INVALID_ENUM:
        return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
        return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
        return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW:
        return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW:
        return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY:
        return "GL_OUT_OF_MEMORY";
    default:
        return "Unknown Error";
    }
}
} // namespace

QRVISXMain::QRVISXMain(QRObject* owner) : QRObject(owner, "QR VISX Main")
{
    gVisual = this;
    extensionManager_ = qrNew<QRVISXExtensionManager>(this);
    renderContextManager_ = qrNew<QRVISXRenderContextManager>(this);
    renderTargetManager_ = qrNew<QRVISXRenderTargetManager>(this);
    vertexBufferManager_ = qrNew<QRVISXVertexBufferManager>(this);
    displayManager_ = qrNew<QRVISXDisplayManager>(this);
    cameraManager_ = qrNew<QRVISXCameraManager>(this);
    viewPort_ = qrNew<QRVISXViewPort>(this);
    displayListManager_ = qrNew<QRVISXDisplayListManager>(this);
    render_ = qrNew<QRVISXRender>(this);
    transform_ = qrNew<QRVISXTransform>(this);
    materialManager_ = qrNew<QRVISXMaterialManager>(this);
    fontManager_ = qrNew<QRVISXFontManager>(this);
    util_ = qrNew<QRVISXUtil>(this);
}

QRVISXMain::~QRVISXMain()
{
    renderTargetManager_.reset();
    extensionManager_.reset();
    vertexBufferManager_.reset();
    displayManager_.reset();
    viewPort_.reset();
    cameraManager_.reset();
    displayListManager_.reset();
    render_.reset();
    transform_.reset();
    util_.reset();
    materialManager_.reset();
    fontManager_.reset();
    // Last, so that GL objects are freed while a context still exists.
    renderContextManager_.reset();
    if (gVisual == this)
        gVisual = nullptr;
}

void QRVISXMain::initialize()
{
    QRCORELog* log = qrLog();
    if (log) {
        log->logEmptyLine();
        log->logSeparator();
        log->logPlain("QOR VISX: QOR Visual Experience Initializing...");
    }
    renderContextManager_->initialize();
    renderTargetManager_->initialize();
    extensionManager_->initialize();
    vertexBufferManager_->initialize();
    displayManager_->initialize();
    cameraManager_->initialize();
    viewPort_->initialize();
    displayListManager_->initialize();
    render_->initialize();
    transform_->initialize();
    materialManager_->initialize();
    fontManager_->initialize();
    util_->initialize();
    initialized_ = true;
    if (log) {
        log->logPlain("QOR VISX: QOR Visual Experience Initialized!");
        log->logSeparator();
        log->logEmptyLine();
    }
}

QRVISXRenderContext* QRVISXMain::generateMainRenderContext(std::string_view contextName,
                                                           std::string_view deviceName)
{
    auto* core = qrCore();
    QRCOREDevice* device = core ? core->getDeviceManager()->findDevice(deviceName) : nullptr;
    if (!device) {
        reportError("generateMainRenderContext",
                    "No device was found in the device manager using the name \"" + std::string(deviceName) + "\"");
        return nullptr;
    }
    QRVISXRenderContext* context = renderContextManager_->createVisualRenderingContext(contextName, device);
    if (!context)
        return nullptr;
    renderContextManager_->setPrimaryContext(context);
    context->activate();
    return context;
}

bool QRVISXMain::checkGLError()
{
    const GLenum error = qrGL().getError();
    if (error == GL_NO_ERROR)
        return false;
    const std::string message = std::string("GL Error occurred: ") + errorText(error);
    if (!glErrorReported_) {
        if (auto* core = qrCore())
            core->getFeedback()->showError(message);
    } else if (auto* log = qrLog()) {
        log->logError(message);
    }
    glErrorReported_ = true;
    return true;
}

void QRVISXMain::refreshVSync()
{
    displayManager_->getVSync()->reapplyVSync();
}

void QRVISXMain::endFrame()
{
    refreshVSync();
    checkGLError();
}

QRVISXMain* qrVisual()
{
    return gVisual;
}
