#pragma once
// Compiles GLSL shaders and links shader configurations, keeps the two default configurations and
// the program in use, and uploads every variable of the current configuration before a draw.
// Owned by the material manager.

#include "core/qr_core_object.h"

class QRVISXShaderConfiguration;

class QRVISXShaderManager : public QRObject {
public:
    explicit QRVISXShaderManager(QRObject* owner);
    ~QRVISXShaderManager() override;
    // Needs a current context; loads the default configurations.
    void initialize() override;

    void lock() { locked_ = true; }
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }

    // A valid configuration becomes current, anything else the default solid one; unless locked.
    void setConfiguration(QRVISXShaderConfiguration* configuration);
    void resetConfiguration();
    void useDefaultSolid();
    void useDefaultUnlit();
    // resetConfiguration, then a forced apply; after each context activation.
    void reset();
    // Switches the program when it changed (or forced), then uploads the current variables.
    void apply(bool force);

private:
    bool enabled_ = true;
    bool locked_ = false;
};
