#include "entities/app_entt_main.h"

#include "core/qr_util_convert.h"
#include "entities/app_entt_editform.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_file.h"
#include "math/qr_math_intersection.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_main.h"
#include "sound/qr_boom_samples.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/qr_visx_main.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/text/qr_visx_util.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_models.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {
constexpr float kNoHitDistance = 9999999.0f;
constexpr float kHitTestFloor = -100.0f;

bool isFinite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool isFinite(const Quaternion& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}
} // namespace

APPENTTMain::APPENTTMain(QRObject* owner, const Vector3& position)
    : QRObject(owner, "Entity"), entityList_(dynamic_cast<APPWRLDEntities*>(owner)), serial_(nextSerial()),
      position_(position)
{
}

APPENTTMain::~APPENTTMain()
{
    leaveBlock();
}

void APPENTTMain::afterCreate()
{
    QRObject::afterCreate();
    orientation_ = QRMATHQuaternion::identity();
    size_ = 1.0f;
    model_ = nullptr;
    castsShadow_ = true;
    updateBlock();
}

void APPENTTMain::beforeDestroy()
{
    leaveBlock();
    QRObject::beforeDestroy();
}

void APPENTTMain::leaveBlock()
{
    if (block_)
        block_->removeEntity(this);
    block_ = nullptr;
}

APPWRLDMain* APPENTTMain::getWorld() const
{
    return entityList_ ? entityList_->getWorld() : nullptr;
}

void APPENTTMain::detachFromWorld()
{
    leaveBlock();
    detached_ = true;
}

void APPENTTMain::updateBlock()
{
    if (detached_)
        return;
    if (block_) {
        const APPENVRBox& box = block_->getBounds();
        if (box.minimum.x <= position_.x && position_.x <= box.maximum.x && box.minimum.z <= position_.z &&
            position_.z <= box.maximum.z)
            return;
    }
    APPWRLDMain* world = getWorld();
    if (!world) {
        leaveBlock();
        return;
    }
    // Outside the world the nearest edge block takes the entity, so it still updates near the
    // camera and dies as usual instead of freezing in a block that no camera ever reaches.
    const auto blockOf = [](float coordinate) {
        const int last = APPENVRMain::kAreaCount * APPENVRMain::kBlocksPerArea - 1;
        return std::clamp(static_cast<int>(std::floor(coordinate / APPENVRMain::kBlockSize)), 0, last);
    };
    const float x = std::isfinite(position_.x) ? position_.x : 0.0f;
    const float z = std::isfinite(position_.z) ? position_.z : 0.0f;
    const int gx = blockOf(std::clamp(x, -1.0f, APPENVRMain::kAreaSize * APPENVRMain::kAreaCount + 1.0f));
    const int gz = blockOf(std::clamp(z, -1.0f, APPENVRMain::kAreaSize * APPENVRMain::kAreaCount + 1.0f));
    const int perArea = APPENVRMain::kBlocksPerArea;
    APPENVRBlock* target = world->getEnvironment()->getBlock(gx / perArea, gz / perArea, gx % perArea, gz % perArea);
    if (target == block_)
        return;
    leaveBlock();
    block_ = target;
    block_->addEntity(this);
}

void APPENTTMain::setPosition(const Vector3& position)
{
    position_ = position;
    updateBlock();
}

void APPENTTMain::resetOrientation()
{
    orientation_ = QRMATHQuaternion::identity();
}

void APPENTTMain::setModelByName(std::string_view name)
{
    APPWRLDMain* world = getWorld();
    model_ = world ? world->getModels()->getModel(name) : nullptr;
}

void APPENTTMain::rotateLocalX(float degrees)
{
    orientation_ = QRMATHQuaternion::rotateX(orientation_, degrees);
}

void APPENTTMain::rotateLocalY(float degrees)
{
    orientation_ = QRMATHQuaternion::rotateY(orientation_, degrees);
}

void APPENTTMain::rotateLocalZ(float degrees)
{
    orientation_ = QRMATHQuaternion::rotateZ(orientation_, degrees);
}

Vector3 APPENTTMain::forwardVector() const
{
    return QRMATHQuaternion::rotateVector(orientation_, {0.0f, 0.0f, -1.0f});
}

Vector3 APPENTTMain::rightVector() const
{
    return QRMATHQuaternion::rotateVector(orientation_, {1.0f, 0.0f, 0.0f});
}

float APPENTTMain::terrainHeight() const
{
    APPWRLDMain* world = getWorld();
    return world ? world->getEnvironment()->getHeight(position_) : 0.0f;
}

void APPENTTMain::snapToTerrain(float offset)
{
    setPosition({position_.x, terrainHeight() + offset, position_.z});
}

void APPENTTMain::playSound(std::string_view fileName) const
{
    QRBOOMMain* sound = qrSound();
    if (!sound || !sound->getSamples() || !sound->getChannels())
        return;
    sound->getChannels()->play(sound->getSamples()->loadSample(fileName));
}

void APPENTTMain::removeFromWorld()
{
    if (entityList_)
        entityList_->removeEntity(this);
}

void APPENTTMain::fillEditForm(APPENTTEditForm& form)
{
    form.showTab("Main");
    form.setText("EMainName", getName());
    form.setText("EMainPositionX", QRUTILConvert::fromFloat(position_.x));
    form.setText("EMainPositionY", QRUTILConvert::fromFloat(position_.y));
    form.setText("EMainPositionZ", QRUTILConvert::fromFloat(position_.z));
    form.setText("EMainSize", QRUTILConvert::fromFloat(size_));
}

void APPENTTMain::readEditForm(const APPENTTEditForm& form)
{
    setName(form.getText("EMainName"));
    setSize(QRUTILConvert::toFloat(form.getText("EMainSize")));
    setPosition({QRUTILConvert::toFloat(form.getText("EMainPositionX")),
                 QRUTILConvert::toFloat(form.getText("EMainPositionY")),
                 QRUTILConvert::toFloat(form.getText("EMainPositionZ"))});
}

bool APPENTTMain::editAttributes(APPENTTEditForm& form)
{
    form.hideAllTabs();
    fillEditForm(form);
    if (!form.showModal())
        return false;
    readEditForm(form);
    return true;
}

Matrix4 APPENTTMain::getWorldMatrix() const
{
    const Matrix4 placed = QRMATHMatrix4::rotate(QRMATHMatrix4::translation(position_), orientation_);
    return QRMATHMatrix4::scaleUniform(placed, size_);
}

float APPENTTMain::getBoundingRadius() const
{
    const QRVISXModelLod* level = model_ ? model_->getLod(0) : nullptr;
    return level ? level->getRadius() * std::fabs(size_) : 0.0f;
}

float APPENTTMain::posedRadius() const
{
    float radius = 0.0f;
    for (int i = 0; model_ && i < model_->getLodCount(); ++i)
        if (const QRVISXModelLod* level = model_->getLod(i))
            radius = std::max(radius, level->getRadius());
    return radius;
}

void APPENTTMain::render()
{
    renderModel();
}

void APPENTTMain::renderEditor()
{
    if (model_) {
        renderModel();
        return;
    }
    if (QRVISXMain* visual = qrVisual())
        visual->getUtil()->getBoxes()->drawCube(position_, true, 0.5f);
}

std::string APPENTTMain::getTypeName() const
{
    return "Entity";
}

bool APPENTTMain::save(QRFILEFile& file) const
{
    return file.write(position_) && file.write(orientation_) && file.write(size_);
}

bool APPENTTMain::load(QRFILEFile& file)
{
    Vector3 position = position_;
    Quaternion orientation = orientation_;
    float size = size_;
    if (!file.read(position) || !file.read(orientation) || !file.read(size))
        return false;
    // Such a value would spread through every placement, box and culling test it touches.
    if (!isFinite(position) || !isFinite(orientation) || !std::isfinite(size)) {
        reportError("load", "The entity record in \"" + file.getFileName() +
                                "\" holds a position, orientation or size that is not a finite number");
        return false;
    }
    orientation_ = orientation;
    size_ = size;
    setPosition(position);
    return true;
}

void APPENTTMain::renderModel()
{
    if (model_)
        drawModel(model_, position_, size_, orientation_);
}

int APPENTTMain::levelToDraw(const QRVISXModel& model, const Vector3& position, float size)
{
    const QRVISXMain* visual = qrVisual();
    const QRVISXCamera3D* camera = visual ? visual->getCameraManager()->get3DCamera() : nullptr;
    if (!camera || camera->isOrthographic() || model.getLodCount() < 2)
        return 0;
    const Vector3 eye = camera->getPosition();
    const float dx = position.x - eye.x, dy = position.y - eye.y, dz = position.z - eye.z;
    const float reach = APPENTTMain::kFarModelDistance * std::max(size, 0.0f);
    if (dx * dx + dy * dy + dz * dz <= reach * reach)
        return 0;
    for (int i = 1; i < model.getLodCount(); ++i)
        if (const QRVISXModelLod* level = model.getLod(i); level && level->getName() == "far")
            return i;
    return 0;
}

void APPENTTMain::drawModel(QRVISXModel* model, const Vector3& position, float size,
                            const Quaternion& orientation) const
{
    QRVISXMain* visual = qrVisual();
    QRVISXModelLod* level = model ? model->getLod(0) : nullptr;
    if (!visual || !level)
        return;
    if (!visual->getCameraManager()->getFrustum()->isSphereVisible(position, level->getRadius() * size))
        return;
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->translate(position);
    world->rotate(orientation);
    world->scale(size);
    world->apply();
    model->renderLod(levelToDraw(*model, position, size), true);
}

bool APPENTTMain::hitTest(const Vector3& point, Vector3& hit) const
{
    QRVISXModelLod* level = model_ ? model_->getLod(0) : nullptr;
    QRVISXVertexBuffer* buffer = level ? level->getVertexBuffer() : nullptr;
    if (!buffer)
        return false;
    const float radius = level->getRadius();
    const float dx = point.x - position_.x;
    const float dz = point.z - position_.z;
    if (dx * dx + dz * dz >= radius * radius)
        return false;

    const Matrix4 world = getWorldMatrix();
    const int vertexCount = buffer->getVertexCount();
    const int cornerCount = buffer->isIndexed() ? buffer->getIndexCount() : vertexCount;
    const Vector3 below{point.x, kHitTestFloor, point.z};
    float nearest = kNoHitDistance;
    bool found = false;
    for (int corner = 0; corner + 2 < cornerCount; corner += 3) {
        Vector3 triangle[3];
        bool valid = true;
        for (int k = 0; k < 3; ++k) {
            const int vertex = buffer->isIndexed() ? buffer->getIndex(corner + k) : corner + k;
            valid = valid && vertex >= 0 && vertex < vertexCount;
            if (valid)
                triangle[k] = QRMATHMatrix4::transformPoint(world, buffer->getVertexPosition(vertex));
        }
        if (!valid)
            continue;
        const auto [minX, maxX] = std::minmax({triangle[0].x, triangle[1].x, triangle[2].x});
        const auto [minZ, maxZ] = std::minmax({triangle[0].z, triangle[1].z, triangle[2].z});
        if (point.x < minX || point.x > maxX || point.z < minZ || point.z > maxZ)
            continue;
        Vector3 candidate;
        if (!QRMATHRaycast::segmentTriangle(point, below, triangle[0], triangle[1], triangle[2], candidate))
            continue;
        if (point.y - candidate.y < nearest) {
            nearest = point.y - candidate.y;
            hit = candidate;
            found = true;
        }
    }
    return found;
}

bool APPENTTMain::segmentHit(const Vector3& start, const Vector3& end, Vector3& hit, float& fraction) const
{
    QRVISXModelLod* level = model_ ? model_->getLod(0) : nullptr;
    QRVISXVertexBuffer* buffer = level ? level->getVertexBuffer() : nullptr;
    if (!buffer || size_ == 0.0f || !std::isfinite(size_))
        return false;
    Vector3 entry;
    if (!QRMATHRaycast::segmentSphere(start, end, position_, getBoundingRadius(), entry))
        return false;
    // Into the model's own frame once, instead of every vertex out of it.
    const Quaternion back = QRMATHQuaternion::inverse(orientation_);
    const auto toModel = [&](const Vector3& p) {
        return QRMATHQuaternion::rotateVector(back, p - position_) * (1.0f / size_);
    };
    const Vector3 from = toModel(start);
    const Vector3 to = toModel(end);
    const Vector3 low{std::min(from.x, to.x), std::min(from.y, to.y), std::min(from.z, to.z)};
    const Vector3 high{std::max(from.x, to.x), std::max(from.y, to.y), std::max(from.z, to.z)};
    const float length = QRMATHVector3::length(to - from);
    const int vertexCount = buffer->getVertexCount();
    const int cornerCount = buffer->isIndexed() ? buffer->getIndexCount() : vertexCount;
    float nearest = 2.0f;
    for (int corner = 0; corner + 2 < cornerCount; corner += 3) {
        Vector3 triangle[3];
        bool valid = true;
        for (int k = 0; k < 3 && valid; ++k) {
            const int vertex = buffer->isIndexed() ? buffer->getIndex(corner + k) : corner + k;
            valid = vertex >= 0 && vertex < vertexCount;
            if (valid)
                triangle[k] = buffer->getVertexPosition(vertex);
        }
        if (!valid)
            continue;
        const auto [minX, maxX] = std::minmax({triangle[0].x, triangle[1].x, triangle[2].x});
        const auto [minY, maxY] = std::minmax({triangle[0].y, triangle[1].y, triangle[2].y});
        const auto [minZ, maxZ] = std::minmax({triangle[0].z, triangle[1].z, triangle[2].z});
        if (maxX < low.x || minX > high.x || maxY < low.y || minY > high.y || maxZ < low.z || minZ > high.z)
            continue;
        Vector3 candidate;
        if (!QRMATHRaycast::segmentTriangle(from, to, triangle[0], triangle[1], triangle[2], candidate))
            continue;
        const float share = length > 0.0f ? QRMATHVector3::length(candidate - from) / length : 0.0f;
        if (share < nearest) {
            nearest = share;
            hit = position_ + QRMATHQuaternion::rotateVector(orientation_, candidate * size_);
        }
    }
    if (nearest > 1.0f)
        return false;
    fraction = nearest;
    return true;
}
