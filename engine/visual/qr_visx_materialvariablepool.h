#pragma once
// The one global table of named, typed shader inputs: game code sets values by name, shader
// configurations register their uniforms here and read them before each draw, material instances
// put their textures in. A variable is found by name (case-sensitive) and kind. Owned by the
// material manager; variables are never removed.

#include "core/qr_core_object.h"

class QRVISXMaterialVariablePool : public QRObject {
public:
    explicit QRVISXMaterialVariablePool(QRObject* owner);
    ~QRVISXMaterialVariablePool() override;
};
