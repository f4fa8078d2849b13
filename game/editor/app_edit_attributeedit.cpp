#include "editor/app_edit_attributeedit.h"

#include "entities/app_entt_main.h"

void APPEDITAttributeEdit::setText(std::string_view control, const std::string& text)
{
    dialog_.setText(control, text);
    // A drop-down list shows only what it holds: remember what it really shows.
    filledTexts_[std::string(control)] = dialog_.getText(control);
}

void APPEDITAttributeEdit::setChecked(std::string_view control, bool checked)
{
    dialog_.setChecked(control, checked);
    filledChecks_[std::string(control)] = checked;
}

void APPEDITAttributeEdit::setItems(std::string_view control, const std::vector<std::string>& items)
{
    dialog_.setItems(control, items);
    filledTexts_[std::string(control)] = dialog_.getText(control);
}

bool APPEDITAttributeEdit::isChanged(std::string_view control) const
{
    const auto text = filledTexts_.find(control);
    if (text != filledTexts_.end())
        return dialog_.getText(control) != text->second;
    const auto check = filledChecks_.find(control);
    return check != filledChecks_.end() && dialog_.isChecked(control) != check->second;
}

bool APPEDITAttributeEdit::showModal()
{
    if (!dialog_.showModal())
        return false;
    for (const auto& [control, text] : filledTexts_)
        if (isChanged(control))
            return true;
    for (const auto& [control, checked] : filledChecks_)
        if (isChanged(control))
            return true;
    return false;
}

bool APPEDITAttributeEdit::run(APPENTTMain& entity)
{
    const Vector3 position = entity.getPosition();
    const float size = entity.getSize();
    if (!entity.editAttributes(*this))
        return false;
    // The fields left alone were read back from their rounded text.
    Vector3 exact = entity.getPosition();
    if (!isChanged("EMainPositionX"))
        exact.x = position.x;
    if (!isChanged("EMainPositionY"))
        exact.y = position.y;
    if (!isChanged("EMainPositionZ"))
        exact.z = position.z;
    entity.setPosition(exact);
    if (!isChanged("EMainSize"))
        entity.setSize(size);
    return true;
}
