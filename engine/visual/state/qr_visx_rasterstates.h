#pragma once
// The scissor test and the polygon offset: the state manager only puts them into a defined
// initial state (both off). Owned by the state manager.

#include "core/qr_core_object.h"

class QRVISXScissorTest : public QRObject {
public:
    explicit QRVISXScissorTest(QRObject* owner) : QRObject(owner, "QR VISX Scissor Test") {}
    void initialize() override;
};

class QRVISXPolygonOffset : public QRObject {
public:
    explicit QRVISXPolygonOffset(QRObject* owner) : QRObject(owner, "QR VISX Polygon Offset") {}
    void initialize() override;
};
