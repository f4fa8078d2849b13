#pragma once
// The render-state cache: materials and game code write the fixed-function states they want into
// the current set, and apply sends OpenGL only what differs from what was sent last (the colour
// always). Also puts lights, scissor test, stencil buffer and polygon offset into their initial
// state. Must be reset after every context switch. Owned by the material manager.

#include "core/qr_core_object.h"
#include "visual/state/qr_visx_glstateset.h"

class QRVISXLights;
class QRVISXScissorTest;
class QRVISXStencilBuffer;
class QRVISXPolygonOffset;

class QRVISXStateManager : public QRObject {
public:
    explicit QRVISXStateManager(QRObject* owner);
    ~QRVISXStateManager() override;
    // Needs a current context.
    void initialize() override;

    // While locked, the setters, resetToDefaults and apply do nothing: an override (the editor,
    // the shadow pass) stays in force whatever the drawn objects' materials ask for.
    void lock() { locked_ = true; }
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

    // Unlocks, copies the defaults into the current set and sends every state.
    void reset();
    // Copies the defaults into the current set; OpenGL is not touched.
    void resetToDefaults();
    void apply(bool forceAll);
    void setGLState(GLenum capability, bool enabled);

    void setAlphaTest(bool enabled, float threshold);
    void setAlphaFunc(GLenum function);
    void setAlphaThreshold(float threshold);
    // Blending on or off without touching the mode (a material may enable blending after
    // choosing a mode, or switch it off for one pass).
    void setBlending(bool enabled);
    void setBlendingMode(int mode);
    void setCurrentColor(float r, float g, float b, float a);
    void setCullFace(bool enabled, bool cullBackSides);
    // Culling on or off, and which side is culled, each without the other.
    void setCullFaceEnabled(bool enabled);
    void setCullBackSides(bool cullBackSides);
    void setCounterClockwiseWinding(bool counterClockwise);
    void setDepthTest(bool enabled);
    void setDepthFunc(GLenum function);
    void setDepthWrite(bool enabled);
    void setLineWidth(float width);
    void setPointSize(float size);
    void setWireframe();
    // 0 solid, 1 wireframe, 2 point cloud; other values are ignored.
    void setPolygonMode(int mode);

    const QRVISXGLState& getCurrent() const { return current_->state(); }
    const QRVISXGLState& getDefaults() const { return defaults_->state(); }
    // What was last sent to OpenGL.
    const QRVISXGLState& getApplied() const { return applied_; }
    QRVISXLights* getLights() const { return lights_.get(); }
    QRVISXScissorTest* getScissorTest() const { return scissorTest_.get(); }
    QRVISXStencilBuffer* getStencilBuffer() const { return stencilBuffer_.get(); }
    QRVISXPolygonOffset* getPolygonOffset() const { return polygonOffset_.get(); }

private:
    void applyBlendingMode(int mode);
    // Only where the driver has blend equations; without them OpenGL always adds.
    void blendEquation(GLenum mode) const;

    bool enabled_ = true;
    bool locked_ = false;
    bool blendEquationSupported_ = true;
    QROwned<QRVISXGLStateSet> current_;
    QROwned<QRVISXGLStateSet> defaults_;
    QRVISXGLState applied_;
    QROwned<QRVISXLights> lights_;
    QROwned<QRVISXScissorTest> scissorTest_;
    QROwned<QRVISXStencilBuffer> stencilBuffer_;
    QROwned<QRVISXPolygonOffset> polygonOffset_;
};
