#include "world/app_wrld_rendertargets.h"

#include "visual/qr_visx_main.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"

void releaseRenderTargetSet(QRVISXRenderTargetConfiguration*& configuration, QRVISXRenderTargetTexture*& color,
                            QRVISXRenderTargetBuffer*& depth)
{
    if (auto* visual = qrVisual()) {
        QRVISXRenderTargetManager& targets = *visual->getRenderTargetManager();
        if (configuration)
            targets.removeConfiguration(configuration);
        if (color)
            targets.removeTarget(color);
        if (depth)
            targets.removeTarget(depth);
    }
    configuration = nullptr;
    color = nullptr;
    depth = nullptr;
}
