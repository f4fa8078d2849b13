#pragma once
// The editor's entity clipboard: keeps what an area file would hold of one entity (its type, its
// record with turn, size and model, its name and its height above the ground) so that copies of it
// can be made anywhere, also after the original went. Owned by the editor (APPEDITMain), which
// also uses a short-lived one to duplicate.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <string>
#include <vector>

class APPENTTMain;
class APPWRLDMain;

class APPEDITClipboard : public QRObject {
public:
    explicit APPEDITClipboard(QRObject* owner);

    void copy(const APPENTTMain& entity);
    bool isEmpty() const { return typeName_.empty(); }
    const std::string& getTypeName() const { return typeName_; }
    // A new entity like the copied one with its feet at ground (as high above it as the copied
    // one stood above its own); null when nothing was copied.
    APPENTTMain* paste(APPWRLDMain& world, const Vector3& ground);

private:
    std::string typeName_;
    std::string name_;
    std::vector<std::uint8_t> record_;
    float aboveGround_ = 0.0f;
};
