#include "ui/Menu_win.h"

#include <algorithm>

namespace vx::ui {
namespace {

std::vector<TPopupMenu*>& AllMenus() {
    static std::vector<TPopupMenu*> menus;
    return menus;
}

// Plain items get ids above the action lists' range.
int NextItemId() {
    static int next = 40000;
    return next++;
}

} // namespace

TPopupMenu::TPopupMenu() {
    AllMenus().push_back(this);
}

TPopupMenu::~TPopupMenu() {
    auto& all = AllMenus();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

TMenuItem& TPopupMenu::AddAction(TAction& action, const std::string& caption,
                                 const std::string& name) {
    TMenuItem item;
    item.Name = name;
    item.Action = &action;
    item.Caption = caption;
    item.Id = action.Id;
    items_.push_back(std::move(item));
    return items_.back();
}

TMenuItem& TPopupMenu::AddItem(const std::string& name, const std::string& caption,
                               std::function<void()> onClick, const std::string& hint) {
    TMenuItem item;
    item.Name = name;
    item.Caption = caption;
    item.Hint = hint;
    item.OnClick = std::move(onClick);
    item.Id = NextItemId();
    items_.push_back(std::move(item));
    return items_.back();
}

void TPopupMenu::AddSeparator() {
    TMenuItem item;
    item.Separator = true;
    items_.push_back(std::move(item));
}

TMenuItem* TPopupMenu::FindItem(const std::string& name) {
    for (auto& i : items_)
        if (!i.Name.empty() && i.Name == name) return &i;
    return nullptr;
}

TMenuItem* TPopupMenu::FindItem(int id) {
    for (auto& i : items_)
        if (!i.Separator && i.Id == id) return &i;
    return nullptr;
}

HMENU TPopupMenu::Handle() {
    Update();
    return menu_;
}

void TPopupMenu::Update() {
    if (OnPopup) OnPopup(*this);
    // The handle stays the same: others (the side bar) keep and track it.
    if (!menu_) menu_.Reset(CreatePopupMenu());
    while (GetMenuItemCount(menu_) > 0)
        DeleteMenu(menu_, 0, MF_BYPOSITION);
    for (auto& i : items_) {
        if (i.Separator) {
            AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = !i.Caption.empty() ? i.Caption : i.Action ? i.Action->Caption : "";
        bool enabled = i.Action ? i.Action->Enabled() : i.Enabled;
        bool checked = i.Action ? i.Action->Checked() : i.Checked;
        if (i.Action && i.Action->ShortCut.Key) text += "\t" + i.Action->ShortCut.Text();
        UINT flags =
            MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED) | (checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(menu_, flags, UINT_PTR(i.Id), text.c_str());

        if (checked && i.Action && i.Action->GroupIndex > 0) {
            // Radio groups show a bullet like a radio item.
            CheckMenuRadioItem(menu_, UINT(i.Id), UINT(i.Id), UINT(i.Id), MF_BYCOMMAND);
        }
    }
}

void TPopupMenu::Popup(HWND owner, POINT screen, UINT align) {
    if (int id = Track(owner, screen, align)) Click(id);
}

int TPopupMenu::Track(HWND owner, POINT screen, UINT align) {
    HMENU m = Handle();
    // The owner must be in front or the menu will not close when clicking elsewhere.
    SetForegroundWindow(owner);
    int id = int(TrackPopupMenu(m, align | TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    return id;
}

bool TPopupMenu::Click(int id) {
    TMenuItem* item = FindItem(id);
    if (!item) return false;
    if (item->Action) return item->Action->Execute();
    if (!item->Enabled) return false;
    if (item->OnClick) item->OnClick();
    return true;
}

std::string TPopupMenu::HintOf(int id) const {
    for (auto& i : items_)
        if (!i.Separator && i.Id == id) return i.Action ? i.Action->Hint : i.Hint;
    return {};
}

TPopupMenu* TPopupMenu::FromHandle(HMENU menu) {
    for (TPopupMenu* m : AllMenus())
        if (m->menu_ && m->menu_.Get() == menu) return m;
    return nullptr;
}

TPopupMenu* TPopupMenu::FromCommand(int id) {
    for (TPopupMenu* m : AllMenus())
        if (m->FindItem(id)) return m;
    return nullptr;
}

} // namespace vx::ui
