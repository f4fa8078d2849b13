#include "entities/app_entt_actor.h"

#include "core/qr_util_convert.h"
#include "entities/app_entt_editform.h"

APPENTTActor::APPENTTActor(QRObject* owner, const Vector3& position) : APPENTTMain(owner, position) {}

void APPENTTActor::afterCreate()
{
    health_ = -1;
    targetable_ = true;
    APPENTTMain::afterCreate();
}

void APPENTTActor::fillEditForm(APPENTTEditForm& form)
{
    APPENTTMain::fillEditForm(form);
    form.showTab("Actor");
    form.setText("EActorHealth", QRUTILConvert::fromInt(health_));
    form.setChecked("CBActorTargetable", targetable_);
}

void APPENTTActor::readEditForm(const APPENTTEditForm& form)
{
    APPENTTMain::readEditForm(form);
    health_ = QRUTILConvert::toInt(form.getText("EActorHealth"));
    targetable_ = form.isChecked("CBActorTargetable");
}

std::string APPENTTActor::getTypeName() const
{
    return "Actor";
}

void APPENTTActor::moveHorizontal(const Vector3& delta)
{
    const Vector3& position = getPosition();
    setPosition({position.x + delta.x, position.y, position.z + delta.z});
}

void APPENTTActor::moveVertical(float dy)
{
    const Vector3& position = getPosition();
    setPosition({position.x, position.y + dy, position.z});
}
