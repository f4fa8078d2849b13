#include "entities/app_entt_environmentmodel.h"

#include "entities/app_entt_editform.h"
#include "file/qr_file_file.h"
#include "visual/geometry/qr_visx_model.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_models.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {
constexpr const char* kModelControl = "CBEnvironmentModelModel";

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}
} // namespace

APPENTTEnvironmentModel::APPENTTEnvironmentModel(QRObject* owner, const Vector3& position)
    : APPENTTActor(owner, position)
{
}

void APPENTTEnvironmentModel::afterCreate()
{
    APPENTTActor::afterCreate();
    modelName_.clear();
    storeWorldMatrix();
}

std::string APPENTTEnvironmentModel::getTypeName() const
{
    return "EnvironmentModel";
}

APPENTTEnvironmentModel::Placement APPENTTEnvironmentModel::placement() const
{
    return {getPosition(), getOrientation(), getSize()};
}

void APPENTTEnvironmentModel::storeWorldMatrix() const
{
    matrixPlacement_ = placement();
    worldMatrix_ = APPENTTActor::getWorldMatrix();
}

Matrix4 APPENTTEnvironmentModel::getWorldMatrix() const
{
    // Moved, turned or resized in the editor: ground tests follow the new placement at once.
    if (!(matrixPlacement_ == placement()))
        storeWorldMatrix();
    return worldMatrix_;
}

void APPENTTEnvironmentModel::setModelName(std::string_view name)
{
    modelName_ = name;
    if (name.empty())
        setModel(nullptr);
    else
        setModelByName(name);
}

std::string APPENTTEnvironmentModel::getModelName() const
{
    if (modelName_.empty() && getModel())
        return getModel()->getFileName();
    return modelName_;
}

bool APPENTTEnvironmentModel::save(QRFILEFile& file) const
{
    return APPENTTActor::save(file) && file.write(getModelName());
}

bool APPENTTEnvironmentModel::load(QRFILEFile& file)
{
    if (!APPENTTActor::load(file))
        return false;
    std::string name;
    if (!file.read(name))
        return false;
    setModelName(name);
    storeWorldMatrix();
    return true;
}

void APPENTTEnvironmentModel::fillEditForm(APPENTTEditForm& form)
{
    APPENTTActor::fillEditForm(form);
    form.showTab("EnvironmentModel");
    std::vector<std::string> names;
    const APPWRLDMain* world = getWorld();
    const APPWRLDModels* models = world ? world->getModels() : nullptr;
    for (int i = 0; models && i < models->getModelCount(); ++i)
        names.push_back(models->getModelAt(i)->getName());
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    form.setItems(kModelControl, names);
    form.setText(kModelControl, getModel() ? getModel()->getName() : std::string());
}

void APPENTTEnvironmentModel::readEditForm(const APPENTTEditForm& form)
{
    APPENTTActor::readEditForm(form);
    setModelName(form.getText(kModelControl));
}
