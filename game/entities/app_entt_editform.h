#pragma once
// The entity attribute window as entities see it: tabs and controls addressed by name. The
// editor's window implements it, so entities fill and read their attributes without knowing the
// window toolkit. Owned by the editor; entities only borrow it while editing.

#include <string>
#include <string_view>
#include <vector>

class APPENTTEditForm {
public:
    virtual ~APPENTTEditForm() = default;

    virtual void hideAllTabs() = 0;
    virtual void showTab(std::string_view tab) = 0;
    // On a drop-down list setText selects the entry equal to text (none when there is no such
    // entry) and getText answers the selected entry ("" when none).
    virtual void setText(std::string_view control, const std::string& text) = 0;
    virtual std::string getText(std::string_view control) const = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    // Replaces the entries of a drop-down list; nothing is selected afterwards.
    virtual void setItems(std::string_view /*control*/, const std::vector<std::string>& /*items*/) {}
    // Shows the window modally; true when it was closed with OK.
    virtual bool showModal() = 0;
};
