// A flat tool bar used as the menu bar: text buttons that each drop down a
// popup menu under themselves.
#pragma once

#include "ui/Menu_win.h"
#include "ui/Window_win.h"

#include <vector>

namespace vx::ui {

class TMenuToolBar : public TWindow {
public:
    bool Create(TWindow* parent);
    // Adds a button "&File" that drops `menu` down.
    void AddMenu(const std::string& caption, TPopupMenu& menu);
    int ButtonCount() const { return int(menus_.size()); }
    std::string ButtonCaption(int index) const;
    // Drops the menu of a button down, as a click does.
    void DropDown(int index);
    // The button whose caption has "&key"; -1 for none.
    int FindAccelerator(char key) const;
    SIZE IdealSize() const;
    // Where DropDown shows a menu; tests look there.
    POINT MenuPoint(int index) const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Entry {
        std::string Caption;
        TPopupMenu* Menu;
    };
    std::vector<Entry> menus_;
};

}  // namespace vx::ui
