#include "entities/app_entt_particleemitter.h"

#include "core/qr_time_main.h"
#include "file/qr_file_file.h"
#include "math/qr_math_vector.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/text/qr_visx_util.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_entities.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kVerticesPerParticle = 4;
// The corners the particle shader spreads a particle's four vertices to.
constexpr Vector2 kCorners[kVerticesPerParticle] = {{-1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, -1.0f}};

float frameTime()
{
    const QRTIMEMain* time = qrTime();
    return time ? time->getDelta() : 0.0f;
}

bool isFinite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
} // namespace

APPENTTParticle::APPENTTParticle(APPENTTParticleEmitter* emitter, const Vector3& position, int index)
    : QRObject(emitter, "Particle"), position_(position), index_(index), emitter_(emitter)
{
}

bool APPENTTParticle::advance(float dt)
{
    position_ += velocity_ * dt;
    rotation_ += rotationSpeed_ * dt;
    colour_ = colour_ + colourChange_ * dt;
    size_ += sizeChange_ * dt;
    age_ += dt;
    if (age_ > fadeStart_)
        colour_.w -= fadeRate_ * dt;
    return colour_.w > 0.0f && size_ > 0.0f;
}

Vector4 APPENTTParticle::shownColour() const
{
    Vector4 shown = colour_;
    if (age_ < fadeInTime_)
        shown.w *= age_ / fadeInTime_;
    return shown;
}

APPENTTParticleEmitter::APPENTTParticleEmitter(QRObject* owner, const Vector3& position)
    : APPENTTMain(owner, position), vertexBuffer_(qrNew<QRVISXVertexBuffer>(this))
{
    vertexBuffer_->setPrimitive(false, GL_QUADS);
    vertexBuffer_->setComponentCounts(0, 4, 0);
    vertexBuffer_->setTexCoordComponents(0, 2);
    vertexBuffer_->setTexCoordComponents(1, 4);
}

APPENTTParticleEmitter::~APPENTTParticleEmitter() = default;

void APPENTTParticleEmitter::afterCreate()
{
    APPENTTMain::afterCreate();
    setCastsShadow(false);
    extent_ = {1.0f, 1.0f, 1.0f};
    rate_ = 10.0f;
    remaining_ = -1;
    removeWhenEmpty_ = true;
    emitTimer_ = 0.0f;
    age_ = 0.0f;
    blendMode_ = 3;
    texture_ = nullptr;
    patternSize_ = {1.0f, 1.0f};
    is2Dbillboard_ = true;
    particleScale_ = {1.0f, 1.0f};
}

APPENTTParticle* APPENTTParticleEmitter::emitParticle(const Vector3& position, const Vector4& colour, float size)
{
    const int index = getParticleCount();
    particles_.push_back(qrNew<APPENTTParticle>(this, position, index));
    APPENTTParticle* particle = particles_.back().get();
    particle->setColour(colour);
    particle->setSize(size);
    vertexBuffer_->resize(kVerticesPerParticle * getParticleCount());
    return particle;
}

void APPENTTParticleEmitter::setEmission(int blendMode, QRVISXTexture2* texture, const Vector2& patternSize)
{
    blendMode_ = blendMode;
    texture_ = texture;
    patternSize_ = patternSize;
}

void APPENTTParticleEmitter::update()
{
    updateEmitter();
}

bool APPENTTParticleEmitter::updateEmitter()
{
    const float dt = frameTime();
    age_ += dt;
    if (remaining_ != 0)
        emitDue(dt);

    const int before = getParticleCount();
    for (int i = before - 1; i >= 0; --i) {
        const auto slot = particles_.begin() + i;
        if ((*slot)->advance(dt))
            continue;
        particleRemoved(slot->get());
        particles_.erase(slot);
    }
    if (getParticleCount() != before)
        vertexBuffer_->resize(kVerticesPerParticle * getParticleCount());

    if (removeWhenEmpty_ && particles_.empty()) {
        removeFromWorld();
        return false;
    }
    return true;
}

void APPENTTParticleEmitter::emitDue(float dt)
{
    // A rate of zero, below or beyond a number (an area file can hold anything) emits nothing
    // rather than loop without end.
    if (!(rate_ > 0.0f) || !std::isfinite(rate_))
        return;
    const float interval = 1.0f / rate_;
    emitTimer_ += dt;
    int emitted = 0;
    while (emitTimer_ > interval) {
        // More than a frame can show is dropped, together with the time that asked for it.
        if (emitted == kMaxParticles || getParticleCount() >= kMaxParticles) {
            emitTimer_ = 0.0f;
            break;
        }
        emitTimer_ -= interval;
        emit();
        ++emitted;
        // Any negative count means unlimited.
        if (remaining_ > 0 && --remaining_ == 0)
            break;
    }
}

void APPENTTParticleEmitter::writeVertices(const APPENTTParticle& particle)
{
    const Vector4 colour = particle.shownColour();
    const Vector4 cell{particle.getPatternCell().x, particle.getPatternCell().y, particle.getSize(),
                       particle.getRotation() * kDegreesToRadians};
    const int first = particle.getIndex() * kVerticesPerParticle;
    for (int corner = 0; corner < kVerticesPerParticle; ++corner) {
        const int vertex = first + corner;
        vertexBuffer_->setVertexPosition(vertex, particle.getPosition());
        vertexBuffer_->setColor(vertex, colour);
        vertexBuffer_->setTexCoord(0, vertex, kCorners[corner]);
        vertexBuffer_->setTexCoord4(1, vertex, cell);
    }
}

void APPENTTParticleEmitter::placeCornersForFixedFunction(const QRVISXCamera3D& camera)
{
    const Matrix4 view = camera.getViewMatrix();
    const Vector3 viewRight = QRMATHVector3::normalize({view[0], view[4], view[8]});
    const Vector3 viewUp = QRMATHVector3::normalize({view[1], view[5], view[9]});
    for (const auto& particle : particles_) {
        const Vector3 centre = particle->getPosition();
        // Flat on the screen, or upright and turned about the vertical only towards the eye.
        Vector3 across = viewRight;
        Vector3 up = viewUp;
        if (!is2Dbillboard_) {
            up = {0.0f, 1.0f, 0.0f};
            const Vector3 side = QRMATHVector3::cross(up, camera.getPosition() - centre);
            across = QRMATHVector3::length(side) > 0.0001f ? QRMATHVector3::normalize(side) : Vector3{1.0f, 0.0f, 0.0f};
        }
        const float turn = particle->getRotation() * kDegreesToRadians;
        const float s = std::sin(turn);
        const float c = std::cos(turn);
        const Vector2 cell = particle->getPatternCell();
        const int first = particle->getIndex() * kVerticesPerParticle;
        for (int corner = 0; corner < kVerticesPerParticle; ++corner) {
            const Vector2 k = kCorners[corner];
            const float spreadX = (k.x * c - k.y * s) * particle->getSize() * particleScale_.x;
            const float spreadY = (k.x * s + k.y * c) * particle->getSize() * particleScale_.y;
            vertexBuffer_->setVertexPosition(first + corner, centre + across * spreadX + up * spreadY);
            vertexBuffer_->setTexCoord(0, first + corner,
                                       {(cell.x + k.x * 0.5f + 0.5f) * patternSize_.x,
                                        (cell.y + k.y * 0.5f + 0.5f) * patternSize_.y});
        }
    }
}

float APPENTTParticleEmitter::getBoundingRadius() const
{
    // A particle's square spans its size to each side of its centre, a diagonal a little more.
    const float scale = 1.5f * std::max(std::fabs(particleScale_.x), std::fabs(particleScale_.y));
    float radius = 0.0f;
    for (const auto& particle : particles_)
        radius = std::max(radius, QRMATHVector3::distance(particle->getPosition(), getPosition()) +
                                      std::fabs(particle->getSize()) * scale);
    return radius;
}

void APPENTTParticleEmitter::render()
{
    QRVISXMain* visual = qrVisual();
    if (particles_.empty() || !visual)
        return;
    QRVISXMaterialManager* materials = visual->getMaterialManager();
    QRVISXMaterialVariablePool* pool = materials->getVariablePool();
    pool->setVector2("patternsize", patternSize_);
    pool->setBool("is2Dbillboard", is2Dbillboard_);
    pool->setVector2("particlescale", particleScale_);
    materials->resetForMaterial();
    if (APPWRLDEntities* list = getEntityList(); list && list->getParticleShader())
        materials->getShaderManager()->setConfiguration(list->getParticleShader());
    // Particles show their own colours; without GLSL OpenGL's lighting must not shade them.
    const bool programmed = materials->getShaderManager()->isGLSLAvailable();
    if (!programmed)
        materials->getShaderManager()->useDefaultUnlit();
    materials->getTextureManager()->requestTexture(texture_, 0);
    QRVISXStateManager* states = materials->getStateManager();
    states->setBlendingMode(blendMode_);
    states->setCullFaceEnabled(false);
    states->setDepthWrite(false);
    materials->apply();

    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->apply();
    for (int i = getParticleCount() - 1; i >= 0; --i) {
        APPENTTParticle& particle = *particles_[static_cast<std::size_t>(i)];
        particle.setIndex(i);
        writeVertices(particle);
    }
    if (!programmed)
        if (const QRVISXCamera3D* camera = visual->getCameraManager()->get3DCamera())
            placeCornersForFixedFunction(*camera);
    vertexBuffer_->render();
}

void APPENTTParticleEmitter::renderEditor()
{
    QRVISXMain* visual = qrVisual();
    if (!visual)
        return;
    QRVISXMaterialManager* materials = visual->getMaterialManager();
    materials->resetForMaterial();
    QRVISXStateManager* states = materials->getStateManager();
    states->setCurrentColor(0.6f, 0.2f, 0.2f, 0.4f);
    states->setBlendingMode(3);
    materials->apply();
    visual->getUtil()->getSpheres()->drawSphere(getPosition(), Quaternion{}, false, extent_);
}

bool APPENTTParticleEmitter::save(QRFILEFile& file) const
{
    return APPENTTMain::save(file) && file.write(extent_) && file.write(rate_) &&
           file.write(static_cast<std::int32_t>(remaining_));
}

bool APPENTTParticleEmitter::load(QRFILEFile& file)
{
    if (!APPENTTMain::load(file))
        return false;
    Vector3 extent;
    float rate = 0.0f;
    std::int32_t remaining = 0;
    if (!file.read(extent) || !file.read(rate) || !file.read(remaining))
        return false;
    if (!isFinite(extent) || !std::isfinite(rate)) {
        reportError("load", "The emitter record in \"" + file.getFileName() +
                                "\" holds an extent or rate that is not a finite number");
        return false;
    }
    extent_ = extent;
    rate_ = rate;
    remaining_ = remaining;
    return true;
}
