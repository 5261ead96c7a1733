// A flat tool bar used as the menu bar: text buttons that each drop down a
// popup menu under themselves. From the keyboard it works as a menu bar does:
// F10 or Alt makes the first button hot and takes the focus, Left and Right
// move along the buttons (also while a menu is open), Down, Up, Enter or a
// button's letter open its menu, Esc steps back and the focus returns.
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
    // Alt with a button's letter: its menu, with the keys of the menu bar.
    void DropDownByKey(int index);
    // F10 and a lone Alt: into the menu bar, or out of it again.
    void ToggleMenuMode();
    void EnterMenuMode(int hot = 0);
    void LeaveMenuMode();
    bool InMenuMode() const { return mode_; }
    int HotButton() const;
    // The button whose caption has "&key"; -1 for none.
    int FindAccelerator(char key) const;
    SIZE IdealSize() const;
    // Where DropDown shows a menu; tests look there.
    POINT MenuPoint(int index) const;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Open(int index, bool keyboard);
    void SetHot(int index);
    bool MenuModeKey(UINT msg, WPARAM wParam);
    static LRESULT CALLBACK MenuFilter(int code, WPARAM wParam, LPARAM lParam);

    struct Entry {
        std::string Caption;
        TPopupMenu* Menu;
    };
    std::vector<Entry> menus_;
    bool mode_ = false;
    bool opening_ = false;
    HWND restore_ = nullptr; // had the focus before the menu bar took it
};

} // namespace vx::ui
