#pragma once
// Texture capabilities of the driver and the cache of texture-unit bindings: materials request a
// texture per unit, applyTextures binds only what changed. Also uploads pictures into OpenGL
// textures. Owned by the material manager.

#include "core/qr_core_object.h"

#include <GL/glew.h>

class QRVISXTexture2;

class QRVISXTextureManager : public QRObject {
public:
    static constexpr int kUnitSlots = 16;

    explicit QRVISXTextureManager(QRObject* owner);
    // Needs a current context.
    void initialize() override;

    void lock() { locked_ = true; }
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }

    // Every unit unbound and disabled, the cache emptied; after each context activation.
    void resetAllTextures();
    // Every unit disabled and the cache emptied; unless locked.
    void resetTextures();
    // The texture to bind on unit at the next applyTextures (null: none); unless locked.
    void requestTexture(const QRVISXTexture2* texture, int unit);
    void applyTextures(bool force);

private:
    bool enabled_ = true;
    bool locked_ = false;
};
