#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "core/qr_core_main.h"
#include "resource/qr_resc_list.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/device/rendercontexts/qr_visx_visualrendercontext.h"

#include <QWidget>

#include <stdexcept>

namespace {
const char* const kBackupDeviceName = "Backup Render Context Device";
}

QRVISXRenderContextManager::QRVISXRenderContextManager(QRObject* owner)
    : QRObject(owner, "QR VISX Render Context Manager")
{
    contexts_ = qrNew<QRRESCList>(this, true);
}

QRVISXRenderContextManager::~QRVISXRenderContextManager()
{
    backupContext_.reset();
    if (backupDevice_) {
        if (auto* core = qrCore())
            core->getDeviceManager()->removeDevice(backupDevice_);
        backupDevice_ = nullptr;
    }
    backupForm_.reset();
    primaryContext_ = nullptr;
    contexts_->clear();
    contexts_.reset();
}

void QRVISXRenderContextManager::initialize()
{
    createBackUpForm();
    createBackUpRenderContext();
    activateContext(backupContext_.get());
    // GLX 1.3 brings both pixel-format configurations and off-screen buffers.
    if (auto* visual = qrVisual()) {
        visual->getExtensionManager()->loadExtension("GLX_version_1_3", true);
        visual->getExtensionManager()->loadExtension("GLX_ARB_multisample", true);
    }
}

void QRVISXRenderContextManager::createBackUpForm()
{
    try {
        // Not parented to the main form: this manager alone decides when the form goes.
        auto form = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        form->setWindowTitle("Backup Render Context");
        form->setObjectName("BackupRenderContext");
        form->resize(10, 10);
        form->winId(); // never shown, but the context needs its native window
        auto* core = qrCore();
        if (!core)
            throw std::runtime_error("no engine core");
        backupDevice_ = core->getDeviceManager()->createControlDevice(kBackupDeviceName, form.get());
        if (!backupDevice_)
            throw std::runtime_error("no backup device");
        backupForm_ = std::move(form);
    } catch (const std::exception&) {
        reportError("createBackUpForm", "Could not create backup form!");
    }
}

void QRVISXRenderContextManager::createBackUpRenderContext()
{
    if (!backupForm_)
        createBackUpForm();
    if (!backupDevice_) {
        reportError("createBackUpRenderContext", "Could not create backup render context!");
        return;
    }
    backupContext_ = qrNew<QRVISXVisualRenderContext>(this, backupDevice_, "Backup Render Context");
    primaryContext_ = backupContext_.get();
}

QRVISXVisualRenderContext* QRVISXRenderContextManager::createVisualRenderingContext(std::string_view name,
                                                                                   QRCOREDevice* device)
{
    if (!device) {
        reportError("createVisualRenderingContext", "No device defined");
        return nullptr;
    }
    if (!dynamic_cast<QRCOREControlDevice*>(device)) {
        reportError("createVisualRenderingContext",
                    "The device associated with this render context is no valid control device.");
        return nullptr;
    }
    auto context = qrNew<QRVISXVisualRenderContext>(this, device, name);
    contexts_->add(context.get());
    return context.release();
}

void QRVISXRenderContextManager::activateContext(QRVISXRenderContext* context)
{
    if (context)
        context->activate();
    else if (backupContext_)
        backupContext_->activate();
}

void QRVISXRenderContextManager::activatePrimaryContext()
{
    if (primaryContext_)
        primaryContext_->activate();
}

qrglx::ContextHandle QRVISXRenderContextManager::shareLists(const QRVISXRenderContext* context) const
{
    if (context != backupContext_.get())
        return backupContext_ ? backupContext_->getGLContextHandle() : nullptr;
    for (QRObject* object : *contexts_)
        if (auto* other = static_cast<QRVISXRenderContext*>(object); other->getGLContextHandle())
            return other->getGLContextHandle();
    return nullptr;
}
