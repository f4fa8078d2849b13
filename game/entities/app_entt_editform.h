#pragma once
// The entity attribute window as entities see it: tabs and controls addressed by name. The
// editor's window implements it, so entities fill and read their attributes without knowing the
// window toolkit. Owned by the editor; entities only borrow it while editing.

#include <string>
#include <string_view>

class APPENTTEditForm {
public:
    virtual ~APPENTTEditForm() = default;

    virtual void hideAllTabs() = 0;
    virtual void showTab(std::string_view tab) = 0;
    virtual void setText(std::string_view control, const std::string& text) = 0;
    virtual std::string getText(std::string_view control) const = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    // Shows the window modally; true when it was closed with OK.
    virtual bool showModal() = 0;
};
