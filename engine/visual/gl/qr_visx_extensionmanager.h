#pragma once
// Front of the extension loader: asks it for OpenGL core versions and extensions (loading their
// entry points) and detects the OpenGL version the renderer runs on. Owned by the visual module.

#include "core/qr_core_object.h"

#include <string>

class QRVISXExtensionManager : public QRObject {
public:
    static constexpr int kInsufficient = -1;
    static constexpr int kGL15 = 2;
    static constexpr int kGL20 = 3;

    explicit QRVISXExtensionManager(QRObject* owner);
    // Detects the OpenGL version; needs a current context.
    void initialize() override;

    // name: an extension ("GL_ARB_multisample", "GLX_EXT_swap_control") or a core version
    // ("GL_version_1_5", "GLX_version_1_3"). The first missing required one is shown to the user,
    // later ones and missing optional ones only logged; callers decide what to do without it.
    bool loadExtension(const std::string& name, bool required);
    // Asks the loader without a log line (the names were logged when first loaded).
    bool isSupported(const std::string& name);
    int getGLVersion() const { return glVersion_; }

private:
    bool startLoader();

    int glVersion_ = kInsufficient;
    bool loaderFailed_ = false;
    // A missing required extension was shown to the user; later ones go to the log only.
    bool missingShown_ = false;
};
