#pragma once
// The entity attribute dialog "Entity Attributes": a modal dialog with the pages "Main", "Actor",
// "EnvironmentModel" and "Character", whose tabs and controls each entity class shows, fills and
// reads back through APPENTTEditForm. Created with the main window, which owns it.

#include "entities/app_entt_editform.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;

class TFormEntity : public QDialog, public APPENTTEditForm {
public:
    explicit TFormEntity(QWidget* mainForm);

    void hideAllTabs() override;
    void showTab(std::string_view tab) override;
    void setText(std::string_view control, const std::string& text) override;
    std::string getText(std::string_view control) const override;
    void setChecked(std::string_view control, bool checked) override;
    bool isChecked(std::string_view control) const override;
    void setItems(std::string_view control, const std::vector<std::string>& items) override;
    // Centred on the desktop; true when closed with OK.
    bool showModal() override;

    // Whether the page's tab is shown (tests and the entity classes' own checks).
    bool isTabShown(std::string_view tab) const;

private:
    int tabIndex(std::string_view tab) const;
    // Checks the fields of the shown pages as they are typed: the first fault is named under the
    // pages and OK stays off until there is none. The fields keep what was typed.
    void validate();

    QTabWidget* pages_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* ok_ = nullptr;
};
