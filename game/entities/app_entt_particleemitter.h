#pragma once
// Particle effects: an emitter entity that spawns, moves, fades and draws camera-facing textured
// squares (its particles) through the particle shader, and removes itself once they are gone. The
// world's entity list owns the emitter; the emitter owns its particles and their vertex buffer.

#include "entities/app_entt_main.h"

#include <vector>

class APPENTTParticleEmitter;
class QRVISXCamera3D;
class QRVISXTexture2;
class QRVISXVertexBuffer;

// One particle: where it is, how it looks and how that changes per second. Owned by its emitter.
class APPENTTParticle : public QRObject {
public:
    APPENTTParticle(APPENTTParticleEmitter* emitter, const Vector3& position, int index);

    // One step of dt seconds; false once the particle has faded out or shrunk away.
    bool advance(float dt);
    // The colour its vertices carry: alpha ramps up from 0 during the fade-in.
    Vector4 shownColour() const;

    void setRotation(float degrees) { rotation_ = degrees; }
    void setRotationSpeed(float degreesPerSecond) { rotationSpeed_ = degreesPerSecond; }
    void setPatternCell(const Vector2& cell) { patternCell_ = cell; }
    void setColour(const Vector4& colour) { colour_ = colour; }
    void setColourChange(const Vector4& perSecond) { colourChange_ = perSecond; }
    void setSize(float size) { size_ = size; }
    void setSizeChange(float perSecond) { sizeChange_ = perSecond; }
    void setFadeIn(float seconds) { fadeInTime_ = seconds; }
    // Alpha falls by rate per second once the particle is older than start.
    void setFade(float start, float rate)
    {
        fadeStart_ = start;
        fadeRate_ = rate;
    }
    void setVelocity(const Vector3& velocity) { velocity_ = velocity; }
    void setIndex(int index) { index_ = index; }

    const Vector3& getPosition() const { return position_; }
    float getRotation() const { return rotation_; }
    const Vector2& getPatternCell() const { return patternCell_; }
    const Vector4& getColour() const { return colour_; }
    float getSize() const { return size_; }
    float getAge() const { return age_; }
    float getFadeStart() const { return fadeStart_; }
    float getFadeRate() const { return fadeRate_; }
    const Vector3& getVelocity() const { return velocity_; }
    int getIndex() const { return index_; }
    APPENTTParticleEmitter* getEmitter() const { return emitter_; }

private:
    Vector3 position_;
    float rotation_ = 0.0f;
    Vector2 patternCell_;
    Vector4 colour_{1.0f, 1.0f, 1.0f, 1.0f};
    float size_ = 1.0f;
    int index_;
    float fadeInTime_ = 0.0f;
    Vector3 velocity_;
    float rotationSpeed_ = 0.0f;
    Vector4 colourChange_;
    float sizeChange_ = 0.0f;
    float age_ = 0.0f;
    float fadeStart_ = 0.0f;
    float fadeRate_ = 0.0f;
    APPENTTParticleEmitter* emitter_;
};

class APPENTTParticleEmitter : public APPENTTMain {
public:
    // No emitter keeps more particles than this, whatever rate an area file asks for.
    static constexpr int kMaxParticles = 4096;

    APPENTTParticleEmitter(QRObject* owner, const Vector3& position);
    ~APPENTTParticleEmitter() override;

    void afterCreate() override;
    // Emits what the rate asks for, moves every particle, and removes the emitter once it is
    // empty (when asked to).
    void update() override;
    // The particles as camera-facing squares with the particle shader; nothing when there are none.
    void render() override;
    // A translucent sphere of the emitter's extent.
    void renderEditor() override;
    // Created during play only.
    bool isTransient() const override { return true; }
    // Reaches the farthest particle's square.
    float getBoundingRadius() const override;
    // The base record, then extent, rate and remaining emissions.
    bool save(QRFILEFile& file) const override;
    bool load(QRFILEFile& file) override;

    // Creates one particle; the emitter kinds decide how.
    virtual void emit() {}

    // A new particle at the end of the list; the caller sets its other fields.
    APPENTTParticle* emitParticle(const Vector3& position, const Vector4& colour, float size);
    void setEmission(int blendMode, QRVISXTexture2* texture, const Vector2& patternSize);
    void setRate(float perSecond) { rate_ = perSecond; }
    void setRemaining(int emissions) { remaining_ = emissions; }
    void setRemoveWhenEmpty(bool remove) { removeWhenEmpty_ = remove; }
    void setExtent(const Vector3& extent) { extent_ = extent; }
    void setParticleScale(const Vector2& scale) { particleScale_ = scale; }
    void set2DBillboard(bool billboard) { is2Dbillboard_ = billboard; }

    float getRate() const { return rate_; }
    int getRemaining() const { return remaining_; }
    bool getRemoveWhenEmpty() const { return removeWhenEmpty_; }
    const Vector3& getExtent() const { return extent_; }
    float getAge() const { return age_; }
    int getBlendMode() const { return blendMode_; }
    QRVISXTexture2* getTexture() const { return texture_; }
    const Vector2& getPatternSize() const { return patternSize_; }
    int getParticleCount() const { return static_cast<int>(particles_.size()); }
    APPENTTParticle* getParticle(int index) const { return particles_.at(static_cast<std::size_t>(index)).get(); }
    QRVISXVertexBuffer* getVertexBuffer() const { return vertexBuffer_.get(); }

protected:
    // The emitter step of update; false when the emitter has removed itself (it must then not be
    // touched any more).
    bool updateEmitter();
    // Told before a particle goes, so references to it can be dropped.
    virtual void particleRemoved(const APPENTTParticle* /*particle*/) {}

private:
    void emitDue(float dt);
    void writeVertices(const APPENTTParticle& particle);
    // Without GLSL nothing spreads a particle's four vertices on the card: they are placed at the
    // corners here, facing camera as the particle program faces them, with their cell's texture
    // coordinates.
    void placeCornersForFixedFunction(const QRVISXCamera3D& camera);

    Vector3 extent_{1.0f, 1.0f, 1.0f};
    float rate_ = 10.0f;
    int remaining_ = -1;
    bool removeWhenEmpty_ = true;
    float emitTimer_ = 0.0f;
    float age_ = 0.0f;
    int blendMode_ = 3;
    QRVISXTexture2* texture_ = nullptr;
    Vector2 patternSize_{1.0f, 1.0f};
    bool is2Dbillboard_ = true;
    Vector2 particleScale_{1.0f, 1.0f};
    QROwned<QRVISXVertexBuffer> vertexBuffer_;
    std::vector<QROwned<APPENTTParticle>> particles_;
};
