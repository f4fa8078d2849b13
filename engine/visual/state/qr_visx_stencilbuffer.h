#pragma once
// The stencil buffer's comparison and operations for the engine's nine uses: marking, counting,
// masking and the depth-fail and depth-pass shadow-volume passes. Owned by the state manager.

#include "core/qr_core_object.h"

#include <cstdint>

class QRVISXStencilBuffer : public QRObject {
public:
    explicit QRVISXStencilBuffer(QRObject* owner);
    void initialize() override;

    // The write mask; also the comparison mask of every mode.
    void setMask(std::uint32_t mask);
    void setClearValue(int value);
    void disable();
    // 0 write 1 where drawn; 1 count where still 0; 2 draw where 0; 3 draw where not 0;
    // 4/5 depth-fail shadow volume back/front faces; 6/7 depth-pass count up/down;
    // 8 two-sided depth-fail in one pass (needs both stencil extensions). Others do nothing.
    void setStencilMode(int mode);

    std::uint32_t getMask() const { return mask_; }
    bool isTwoSideSupported() const { return twoSideSupported_; }
    bool isWrapSupported() const { return wrapSupported_; }

private:
    std::uint32_t mask_ = 255;
    bool twoSideSupported_ = false;
    bool wrapSupported_ = false;
};
