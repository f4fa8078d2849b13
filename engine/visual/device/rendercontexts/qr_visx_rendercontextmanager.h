#pragma once
// Creates and keeps the rendercontexts. A hidden 10 x 10 form carries the backup context, which
// lives from start-up to shut-down: every other context shares textures, display lists and
// buffers with it, so they survive when a context is rebuilt. Knows the current context and the
// primary one the game renders to. Owned by the visual module.

#include "core/qr_core_object.h"
#include "visual/device/rendercontexts/qr_visx_glx.h"

#include <memory>

class QWidget;
class QRCOREControlDevice;
class QRCOREDevice;
class QRRESCList;
class QRVISXRenderContext;
class QRVISXVisualRenderContext;

class QRVISXRenderContextManager : public QRObject {
public:
    explicit QRVISXRenderContextManager(QRObject* owner);
    ~QRVISXRenderContextManager() override;
    void initialize() override;

    void createBackUpForm();
    void createBackUpRenderContext();
    QRVISXVisualRenderContext* createVisualRenderingContext(std::string_view name, QRCOREDevice* device);
    // Null activates the backup context.
    void activateContext(QRVISXRenderContext* context);
    void activatePrimaryContext();
    // The GL context a new context has to share its objects with: the backup context for every
    // other context; for the backup context itself any live context, so that nothing is lost
    // should the backup be rebuilt. GLX shares objects only when a context is created.
    qrglx::ContextHandle shareLists(const QRVISXRenderContext* context) const;

    QRVISXRenderContext* getCurrentContext() const { return currentContext_; }
    void setCurrentContext(QRVISXRenderContext* context) { currentContext_ = context; }
    QRVISXRenderContext* getPrimaryContext() const { return primaryContext_; }
    void setPrimaryContext(QRVISXRenderContext* context) { primaryContext_ = context; }
    QRVISXVisualRenderContext* getBackupContext() const { return backupContext_.get(); }
    QRCOREControlDevice* getBackupDevice() const { return backupDevice_; }
    QRRESCList* getContexts() const { return contexts_.get(); }

private:
    std::unique_ptr<QWidget> backupForm_;
    QRCOREControlDevice* backupDevice_ = nullptr;
    QROwned<QRVISXVisualRenderContext> backupContext_;
    QRVISXRenderContext* currentContext_ = nullptr;
    QRVISXRenderContext* primaryContext_ = nullptr;
    QROwned<QRRESCList> contexts_;
};
