#include "visual/state/qr_visx_stencilbuffer.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"

QRVISXStencilBuffer::QRVISXStencilBuffer(QRObject* owner) : QRObject(owner, "QR VISX Stencil Buffer") {}

void QRVISXStencilBuffer::initialize()
{
    if (auto* visual = qrVisual()) {
        twoSideSupported_ = visual->getExtensionManager()->loadExtension("GL_EXT_stencil_two_side", false);
        wrapSupported_ = visual->getExtensionManager()->loadExtension("GL_EXT_stencil_wrap", false);
    }
    disable();
    setClearValue(0);
    setMask(255);
    setStencilMode(0);
}

void QRVISXStencilBuffer::setMask(std::uint32_t mask)
{
    mask_ = mask;
    qrGL().stencilMask(mask);
}

void QRVISXStencilBuffer::setClearValue(int value)
{
    qrGL().clearStencil(value);
}

void QRVISXStencilBuffer::disable()
{
    qrGL().disable(GL_STENCIL_TEST);
}

void QRVISXStencilBuffer::setStencilMode(int mode)
{
    QRVISXGL& gl = qrGL();
    if (mode == 8) {
        if (!twoSideSupported_ || !wrapSupported_)
            return;
        gl.enable(GL_STENCIL_TEST_TWO_SIDE_EXT);
        gl.activeStencilFace(GL_FRONT);
        gl.stencilFunc(GL_ALWAYS, 0, mask_);
        gl.stencilOp(GL_KEEP, GL_INCR_WRAP, GL_KEEP);
        gl.activeStencilFace(GL_BACK);
        gl.stencilFunc(GL_ALWAYS, 0, mask_);
        gl.stencilOp(GL_KEEP, GL_DECR_WRAP, GL_KEEP);
        // Single-face stencil calls act on the selected face even after two-sided stencil is
        // switched off again: leaving the back face selected would make every later mode and
        // setMask change a state the one-sided test never reads.
        gl.activeStencilFace(GL_FRONT);
        return;
    }
    if (mode < 0 || mode > 7)
        return;
    if (twoSideSupported_)
        gl.disable(GL_STENCIL_TEST_TWO_SIDE_EXT);
    const GLenum increment = wrapSupported_ ? GL_INCR_WRAP : GL_INCR;
    const GLenum decrement = wrapSupported_ ? GL_DECR_WRAP : GL_DECR;
    struct Setting {
        GLenum function;
        GLint reference;
        GLenum stencilFail, depthFail, depthPass;
    };
    const Setting settings[8] = {
        {GL_ALWAYS, 1, GL_KEEP, GL_KEEP, GL_REPLACE},     {GL_EQUAL, 0, GL_KEEP, GL_KEEP, increment},
        {GL_EQUAL, 0, GL_KEEP, GL_KEEP, GL_KEEP},         {GL_NOTEQUAL, 0, GL_KEEP, GL_KEEP, GL_KEEP},
        {GL_ALWAYS, 0, GL_KEEP, increment, GL_KEEP},      {GL_ALWAYS, 0, GL_KEEP, decrement, GL_KEEP},
        {GL_ALWAYS, 0, GL_KEEP, GL_KEEP, increment},      {GL_ALWAYS, 0, GL_KEEP, GL_KEEP, decrement},
    };
    const Setting& setting = settings[mode];
    gl.stencilFunc(setting.function, setting.reference, mask_);
    gl.stencilOp(setting.stencilFail, setting.depthFail, setting.depthPass);
}
