#include "visual/view/qr_visx_viewport.h"

#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

QRVISXAlign::QRVISXAlign(QRVISXViewPort* viewPort) : QRObject(viewPort, "QR VISX Align"), viewPort_(viewPort) {}

Vector2 QRVISXAlign::alignTopLeft(float x, float y) const
{
    return {x - viewPort_->getAspect(), 1.0f - y};
}

Vector2 QRVISXAlign::alignBottomLeft(float x, float y) const
{
    return {x - viewPort_->getAspect(), y - 1.0f};
}

QRVISXViewPort::QRVISXViewPort(QRObject* owner) : QRObject(owner, "QR VISX Viewport")
{
    align_ = qrNew<QRVISXAlign>(this);
}

QRVISXViewPort::~QRVISXViewPort() = default;

void QRVISXViewPort::set(int left, int bottom, int right, int top)
{
    left_ = left;
    bottom_ = bottom;
    right_ = right;
    top_ = top;
    qrGL().viewport(left, bottom, right - left, top - bottom);
}

void QRVISXViewPort::fitToRenderContext()
{
    auto* visual = qrVisual();
    if (!visual || !visual->isInitialized())
        return;
    if (QRVISXRenderContext* context = visual->getRenderContextManager()->getCurrentContext())
        set(0, 0, context->getWidth(), context->getHeight());
}

float QRVISXViewPort::getAspect() const
{
    // A squeezed panel (no width or no height) keeps a finite projection: the cameras divide by this.
    const int height = getHeight();
    const int width = right_ - left_;
    return height <= 0 || width <= 0 ? 1.0f : static_cast<float>(width) / static_cast<float>(height);
}
