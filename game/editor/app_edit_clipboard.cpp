#include "editor/app_edit_clipboard.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_file.h"
#include "file/qr_file_stream.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

namespace {
const char* const kRecordName = "clipboard";
}

APPEDITClipboard::APPEDITClipboard(QRObject* owner) : QRObject(owner, "Clipboard") {}

void APPEDITClipboard::copy(const APPENTTMain& entity)
{
    QRFILEFile file(this);
    file.openForMemoryWriting(QRFileType::Binary, kRecordName);
    if (!entity.save(file))
        return;
    const auto written = file.copyToMemory();
    if (!written)
        return;
    typeName_ = entity.getTypeName();
    name_ = entity.getName();
    record_ = written->getBytes();
    aboveGround_ = entity.getPosition().y - entity.terrainHeight();
}

APPENTTMain* APPEDITClipboard::paste(APPWRLDMain& world, const Vector3& ground)
{
    if (isEmpty())
        return nullptr;
    APPENTTMain* entity = world.getEntities()->createEntity(typeName_, ground);
    QRFILEMemoryStream stream(record_);
    QRFILEFile file(this);
    file.openFromStream(&stream, QRFileType::Binary, kRecordName, QRFileLocation::None);
    // The record moves the entity to where the original stood; it goes to the ground point after.
    if (!entity->load(file))
        reportError("paste", "The copied record of entity \"" + name_ + "\" could not be read");
    entity->setName(name_);
    entity->setPosition({ground.x, ground.y + aboveGround_, ground.z});
    return entity;
}
