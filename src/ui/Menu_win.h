// Popup menus whose entries are actions (caption, check, enabled state and
// shortcut come from the action each time the menu opens) or plain items.
#pragma once

#include "ui/Action.h"
#include "ui/Scoped_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vx::ui {

struct TMenuItem {
    std::string Name;          // mnu_... / pop_...
    TAction* Action = nullptr; // or a plain item:
    std::string Caption;       // overrides the action's caption when not empty
    std::string Hint;
    bool Separator = false;
    bool Enabled = true, Checked = false;
    std::function<void()> OnClick;
    int Id = 0;
};

class TPopupMenu {
  public:
    TPopupMenu();
    ~TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    TMenuItem& AddAction(TAction& action, const std::string& caption = "",
                         const std::string& name = "");
    TMenuItem& AddItem(const std::string& name, const std::string& caption,
                       std::function<void()> onClick, const std::string& hint = "");
    void AddSeparator();
    std::vector<TMenuItem>& Items() { return items_; }
    TMenuItem* FindItem(const std::string& name);
    TMenuItem* FindItem(int id);

    // Asked before the menu opens, to set enabled states and checks.
    std::function<void(TPopupMenu& sender)> OnPopup;

    // The menu handle, with the current texts and states.
    HMENU Handle();
    void Update();
    // Shows the menu at a screen point and runs the chosen entry.
    void Popup(HWND owner, POINT screen, UINT align = TPM_LEFTALIGN | TPM_TOPALIGN);
    // Shows the menu and returns the chosen entry's command id (0: none) without running it.
    int Track(HWND owner, POINT screen, UINT align = TPM_LEFTALIGN | TPM_TOPALIGN);
    // Runs the entry with this command id; false when it is not one of ours.
    bool Click(int id);
    std::string HintOf(int id) const;

    // The menu that owns a handle or a command id (for WM_INITMENUPOPUP,
    // WM_COMMAND and WM_MENUSELECT of menus tracked by others).
    static TPopupMenu* FromHandle(HMENU menu);
    static TPopupMenu* FromCommand(int id);

  private:
    std::vector<TMenuItem> items_;
    ScopedMenu menu_;
};

} // namespace vx::ui
