#pragma once
// One OpenGL display list: compiled once (begin, OpenGL calls, end) and called as often as needed.
// The list name is created on the first compile and deleted by clear or destruction. Owned by
// whoever builds it (the water, debug geometry).

#include "resource/qr_resc_main.h"

#include <GL/glew.h>

class QRVISXDisplayList : public QRRESCMain {
public:
    explicit QRVISXDisplayList(QRObject* owner);
    ~QRVISXDisplayList() override;

    // Deletes the list.
    void clear() override;
    bool isEmpty() const override { return listName_ == -1; }

    // Starts compiling (creating the list on first use); the OpenGL calls up to endCompile are
    // stored, not executed.
    void beginCompile();
    void endCompile();
    // Executes the list, if it has been created.
    void call();

    GLint getListName() const { return listName_; }
    void setListName(GLint name) { listName_ = name; }

private:
    GLint listName_ = -1;
};
