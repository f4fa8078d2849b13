#pragma once
// Talks to OpenGL for vertex buffers: creates and deletes their static buffer objects and draws
// them, from the buffer objects or from the in-memory arrays. Remembers which buffers are bound.
// Owned by the visual module; owns nothing.

#include "core/qr_core_object.h"

#include <GL/glew.h>

class QRVISXVertexBuffer;

class QRVISXVertexBufferManager : public QRObject {
public:
    explicit QRVISXVertexBufferManager(QRObject* owner);
    // Needs a current context and the extension manager up: asks for vertex arrays and buffer objects.
    void initialize() override;
    // A context has (again) been made current: what is bound there is unknown.
    void restoreState();

    // Buffer objects exist on this driver (OpenGL 1.5 with GL_ARB_vertex_buffer_object).
    bool hasBufferObjectSupport() const { return bufferObjects_; }

    // Creates and fills static buffer objects for every array the buffer has; false (nothing
    // created) without buffer object support.
    bool createBufferObjects(QRVISXVertexBuffer& buffer);
    void deleteBufferObjects(QRVISXVertexBuffer& buffer);
    // Elements first..last (indices of an indexed buffer, vertices otherwise) with mode. Nothing
    // while the material manager ignores geometry, and nothing (with an error) for a range
    // outside the buffer.
    void draw(const QRVISXVertexBuffer& buffer, GLenum mode, int last, int first);

private:
    void bindArrayBuffer(GLint name);
    void bindElementBuffer(GLint name);

    bool bufferObjects_ = false;
    bool multitexture_ = false;
    bool rangeElements_ = false;
    // -1: unknown (after a context switch), so the next bind is always sent.
    GLint boundArrayBuffer_ = -1;
    GLint boundElementBuffer_ = -1;
};
