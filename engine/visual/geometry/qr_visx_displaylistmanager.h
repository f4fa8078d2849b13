#pragma once
// Carries out the OpenGL calls of display lists: creating, compiling, calling and deleting them.
// Owned by the visual module; holds no state.

#include "core/qr_core_object.h"

class QRVISXDisplayList;

class QRVISXDisplayListManager : public QRObject {
public:
    explicit QRVISXDisplayListManager(QRObject* owner);

    void createList(QRVISXDisplayList& list);
    void deleteList(QRVISXDisplayList& list);
    void beginCompile(QRVISXDisplayList& list);
    void endCompile(QRVISXDisplayList& list);
    void callList(const QRVISXDisplayList& list);
};
