#pragma once
// The visual module: owns every rendering manager, brings them up in order (the backup context
// first, so that the extension loader starts with a context current), creates the main render
// context and checks for OpenGL errors after each frame. One instance, owned by the application.

#include "core/qr_core_object.h"

class QRVISXExtensionManager;
class QRVISXRenderContextManager;
class QRVISXRenderTargetManager;
class QRVISXVertexBufferManager;
class QRVISXDisplayListManager;
class QRVISXRender;
class QRVISXFontManager;
class QRVISXUtil;
class QRVISXDisplayManager;
class QRVISXCameraManager;
class QRVISXViewPort;
class QRVISXTransform;
class QRVISXMaterialManager;
class QRVISXRenderContext;

class QRVISXMain : public QRObject {
public:
    explicit QRVISXMain(QRObject* owner);
    ~QRVISXMain() override;
    void initialize() override;
    bool isInitialized() const { return initialized_; }

    // Creates a visual render context on the named device, makes it the primary context and
    // activates it; null (with an error) when no such device is registered.
    QRVISXRenderContext* generateMainRenderContext(std::string_view contextName, std::string_view deviceName);
    // Reads one pending OpenGL error: the first one is shown to the user, later ones only logged.
    bool checkGLError();
    void refreshVSync();
    // After every frame's buffer swap.
    void endFrame();

    QRVISXExtensionManager* getExtensionManager() const { return extensionManager_.get(); }
    QRVISXRenderContextManager* getRenderContextManager() const { return renderContextManager_.get(); }
    QRVISXRenderTargetManager* getRenderTargetManager() const { return renderTargetManager_.get(); }
    QRVISXVertexBufferManager* getVertexBufferManager() const { return vertexBufferManager_.get(); }
    QRVISXDisplayManager* getDisplayManager() const { return displayManager_.get(); }
    QRVISXCameraManager* getCameraManager() const { return cameraManager_.get(); }
    QRVISXViewPort* getViewPort() const { return viewPort_.get(); }
    QRVISXDisplayListManager* getDisplayListManager() const { return displayListManager_.get(); }
    QRVISXTransform* getTransform() const { return transform_.get(); }
    QRVISXMaterialManager* getMaterialManager() const { return materialManager_.get(); }
    QRVISXRender* getRender() const { return render_.get(); }
    QRVISXFontManager* getFontManager() const { return fontManager_.get(); }
    QRVISXUtil* getUtil() const { return util_.get(); }

private:
    bool initialized_ = false;
    QROwned<QRVISXExtensionManager> extensionManager_;
    QROwned<QRVISXRenderContextManager> renderContextManager_;
    QROwned<QRVISXRenderTargetManager> renderTargetManager_;
    QROwned<QRVISXVertexBufferManager> vertexBufferManager_;
    QROwned<QRVISXDisplayManager> displayManager_;
    QROwned<QRVISXCameraManager> cameraManager_;
    QROwned<QRVISXViewPort> viewPort_;
    QROwned<QRVISXDisplayListManager> displayListManager_;
    QROwned<QRVISXRender> render_;
    QROwned<QRVISXTransform> transform_;
    QROwned<QRVISXMaterialManager> materialManager_;
    QROwned<QRVISXFontManager> fontManager_;
    QROwned<QRVISXUtil> util_;
    bool glErrorReported_ = false;
};

// The process-wide visual module, or null before its creation and after its destruction.
QRVISXMain* qrVisual();
