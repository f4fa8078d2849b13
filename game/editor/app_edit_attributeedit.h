#pragma once
// One editing of an entity's attributes, between the entity and the attribute dialog: remembers
// what the entity filled in, so that fields the user left alone keep the entity's exact values
// (the dialog shows them rounded to two decimals) and OK with nothing changed changes nothing.
// Made by the cursor for each "Edit Entity" and dropped right after.

#include "entities/app_entt_editform.h"

#include <map>

class APPENTTMain;

class APPEDITAttributeEdit : public APPENTTEditForm {
public:
    explicit APPEDITAttributeEdit(APPENTTEditForm& dialog) : dialog_(dialog) {}

    // Shows the dialog for entity; true when the user changed something and closed it with OK.
    bool run(APPENTTMain& entity);

    void hideAllTabs() override { dialog_.hideAllTabs(); }
    void showTab(std::string_view tab) override { dialog_.showTab(tab); }
    void setText(std::string_view control, const std::string& text) override;
    std::string getText(std::string_view control) const override { return dialog_.getText(control); }
    void setChecked(std::string_view control, bool checked) override;
    bool isChecked(std::string_view control) const override { return dialog_.isChecked(control); }
    void setItems(std::string_view control, const std::vector<std::string>& items) override;
    // Closed with OK and something differs from what was filled in.
    bool showModal() override;

private:
    bool isChanged(std::string_view control) const;

    APPENTTEditForm& dialog_;
    std::map<std::string, std::string, std::less<>> filledTexts_;
    std::map<std::string, bool, std::less<>> filledChecks_;
};
