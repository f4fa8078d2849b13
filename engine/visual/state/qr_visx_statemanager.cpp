#include "visual/state/qr_visx_statemanager.h"

#include "core/qr_core_log.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/state/qr_visx_lights.h"
#include "visual/qr_visx_main.h"
#include "visual/state/qr_visx_rasterstates.h"
#include "visual/state/qr_visx_stencilbuffer.h"

QRVISXStateManager::QRVISXStateManager(QRObject* owner) : QRObject(owner, "QR VISX State Manager")
{
    current_ = qrNew<QRVISXGLStateSet>(this);
    defaults_ = qrNew<QRVISXGLStateSet>(this);
    lights_ = qrNew<QRVISXLights>(this);
    scissorTest_ = qrNew<QRVISXScissorTest>(this);
    stencilBuffer_ = qrNew<QRVISXStencilBuffer>(this);
    polygonOffset_ = qrNew<QRVISXPolygonOffset>(this);
}

QRVISXStateManager::~QRVISXStateManager() = default;

void QRVISXStateManager::initialize()
{
    if (auto* visual = qrVisual()) {
        visual->getExtensionManager()->loadExtension("GL_EXT_blend_color", true);
        // Blend equations are core from OpenGL 1.4; a driver below without the extension adds.
        blendEquationSupported_ = visual->getExtensionManager()->loadExtension("GL_EXT_blend_minmax", true) ||
                                  visual->getExtensionManager()->isSupported("GL_version_1_4");
    }
    current_->clear();
    defaults_->clear();
    lights_->initialize();
    scissorTest_->initialize();
    stencilBuffer_->initialize();
    polygonOffset_->initialize();
    reset();
    if (auto* log = qrLog())
        log->logPlain("State Manager initialized!");
}

void QRVISXStateManager::reset()
{
    unlock();
    resetToDefaults();
    apply(true);
}

void QRVISXStateManager::resetToDefaults()
{
    if (!locked_)
        current_->assign(*defaults_);
}

void QRVISXStateManager::setGLState(GLenum capability, bool enabled)
{
    if (enabled)
        qrGL().enable(capability);
    else
        qrGL().disable(capability);
}

void QRVISXStateManager::blendEquation(GLenum mode) const
{
    if (blendEquationSupported_)
        qrGL().blendEquation(mode);
}

void QRVISXStateManager::applyBlendingMode(int mode)
{
    QRVISXGL& gl = qrGL();
    switch (mode) {
    case 1:
        gl.blendFunc(GL_SRC_ALPHA, GL_ONE);
        blendEquation(GL_FUNC_ADD);
        break;
    case 2:
        gl.blendFunc(GL_ZERO, GL_SRC_ALPHA);
        blendEquation(GL_FUNC_ADD);
        break;
    case 3:
        gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        blendEquation(GL_FUNC_ADD);
        break;
    case 4:
        gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        blendEquation(GL_MIN);
        break;
    case 5:
        gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        blendEquation(GL_MAX);
        break;
    default:
        break;
    }
}

void QRVISXStateManager::apply(bool forceAll)
{
    if (locked_ || !enabled_)
        return;
    QRVISXGL& gl = qrGL();
    const QRVISXGLState& want = current_->state();
    QRVISXGLState& sent = applied_;

    if (forceAll || want.alphaTest != sent.alphaTest) {
        sent.alphaTest = want.alphaTest;
        setGLState(GL_ALPHA_TEST, sent.alphaTest);
    }
    if (forceAll || want.alphaFunc != sent.alphaFunc || want.alphaThreshold != sent.alphaThreshold) {
        sent.alphaFunc = want.alphaFunc;
        sent.alphaThreshold = want.alphaThreshold;
        gl.alphaFunc(sent.alphaFunc, sent.alphaThreshold);
    }
    if (forceAll || want.blending != sent.blending) {
        sent.blending = want.blending;
        setGLState(GL_BLEND, sent.blending);
    }
    // A forced apply follows a context switch: the new context's blend function is OpenGL's own,
    // so the cached mode must be refreshed even while blending is off, or a later mode equal to
    // the stale cache would never send its blend function.
    if ((sent.blending || forceAll) && (forceAll || want.blendingMode != sent.blendingMode)) {
        sent.blendingMode = want.blendingMode;
        applyBlendingMode(sent.blendingMode);
    }
    sent.color = want.color;
    gl.color4f(sent.color.x, sent.color.y, sent.color.z, sent.color.w);
    if (forceAll || want.cullFace != sent.cullFace) {
        sent.cullFace = want.cullFace;
        setGLState(GL_CULL_FACE, sent.cullFace);
    }
    if (forceAll || want.cullBackSides != sent.cullBackSides) {
        sent.cullBackSides = want.cullBackSides;
        gl.cullFace(sent.cullBackSides ? GL_BACK : GL_FRONT);
    }
    if (forceAll || want.counterClockwiseWinding != sent.counterClockwiseWinding) {
        sent.counterClockwiseWinding = want.counterClockwiseWinding;
        gl.frontFace(sent.counterClockwiseWinding ? GL_CCW : GL_CW);
    }
    if (forceAll || want.depthTest != sent.depthTest) {
        sent.depthTest = want.depthTest;
        setGLState(GL_DEPTH_TEST, sent.depthTest);
    }
    if ((sent.depthTest || forceAll) && (forceAll || want.depthFunc != sent.depthFunc)) {
        sent.depthFunc = want.depthFunc;
        gl.depthFunc(sent.depthFunc);
    }
    if (forceAll || want.depthWrite != sent.depthWrite) {
        sent.depthWrite = want.depthWrite;
        gl.depthMask(sent.depthWrite ? GL_TRUE : GL_FALSE);
    }
    if (forceAll || want.lineWidth != sent.lineWidth) {
        sent.lineWidth = want.lineWidth;
        gl.lineWidth(sent.lineWidth);
    }
    if (forceAll || want.pointSize != sent.pointSize) {
        sent.pointSize = want.pointSize;
        gl.pointSize(sent.pointSize);
    }
    if (forceAll || want.polygonMode != sent.polygonMode) {
        sent.polygonMode = want.polygonMode;
        static constexpr GLenum kModes[3] = {GL_FILL, GL_LINE, GL_POINT};
        if (sent.polygonMode >= 0 && sent.polygonMode <= 2)
            gl.polygonMode(GL_FRONT_AND_BACK, kModes[sent.polygonMode]);
    }
}

void QRVISXStateManager::setAlphaTest(bool enabled, float threshold)
{
    if (locked_)
        return;
    current_->state().alphaTest = enabled;
    current_->state().alphaThreshold = threshold;
}

void QRVISXStateManager::setAlphaFunc(GLenum function)
{
    if (!locked_)
        current_->state().alphaFunc = function;
}

void QRVISXStateManager::setAlphaThreshold(float threshold)
{
    if (!locked_)
        current_->state().alphaThreshold = threshold;
}

void QRVISXStateManager::setBlending(bool enabled)
{
    if (!locked_)
        current_->state().blending = enabled;
}

void QRVISXStateManager::setBlendingMode(int mode)
{
    if (locked_)
        return;
    current_->state().blending = mode != 0;
    current_->state().blendingMode = mode;
}

void QRVISXStateManager::setCurrentColor(float r, float g, float b, float a)
{
    if (!locked_)
        current_->state().color = {r, g, b, a};
}

void QRVISXStateManager::setCullFace(bool enabled, bool cullBackSides)
{
    if (locked_)
        return;
    current_->state().cullFace = enabled;
    current_->state().cullBackSides = cullBackSides;
}

void QRVISXStateManager::setCullFaceEnabled(bool enabled)
{
    if (!locked_)
        current_->state().cullFace = enabled;
}

void QRVISXStateManager::setCullBackSides(bool cullBackSides)
{
    if (!locked_)
        current_->state().cullBackSides = cullBackSides;
}

void QRVISXStateManager::setCounterClockwiseWinding(bool counterClockwise)
{
    if (!locked_)
        current_->state().counterClockwiseWinding = counterClockwise;
}

void QRVISXStateManager::setDepthTest(bool enabled)
{
    if (!locked_)
        current_->state().depthTest = enabled;
}

void QRVISXStateManager::setDepthFunc(GLenum function)
{
    if (!locked_)
        current_->state().depthFunc = function;
}

void QRVISXStateManager::setDepthWrite(bool enabled)
{
    if (!locked_)
        current_->state().depthWrite = enabled;
}

void QRVISXStateManager::setLineWidth(float width)
{
    if (!locked_)
        current_->state().lineWidth = width;
}

void QRVISXStateManager::setPointSize(float size)
{
    if (!locked_)
        current_->state().pointSize = size;
}

void QRVISXStateManager::setWireframe()
{
    if (!locked_)
        current_->state().polygonMode = 1;
}

void QRVISXStateManager::setPolygonMode(int mode)
{
    if (!locked_ && mode >= 0 && mode <= 2)
        current_->state().polygonMode = mode;
}
