#include "ui/Action.h"

#include <cstdio>

namespace vx::ui {
namespace {

std::string KeyName(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);
    switch (key) {
    case 0x08:
        return "BkSp";
    case 0x09:
        return "Tab";
    case 0x0D:
        return "Enter";
    case 0x1B:
        return "Esc";
    case 0x20:
        return "Space";
    case 0x21:
        return "PgUp";
    case 0x22:
        return "PgDn";
    case 0x23:
        return "End";
    case 0x24:
        return "Home";
    case 0x25:
        return "Left";
    case 0x26:
        return "Up";
    case 0x27:
        return "Right";
    case 0x28:
        return "Down";
    case 0x2D:
        return "Ins";
    case 0x2E:
        return "Del";
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%u", unsigned(key));
    return buf;
}

} // namespace

std::string TShortCut::Text() const {
    if (Key == 0) return {};
    std::string s;
    if (Shift) s += "Shift+";
    if (Ctrl) s += "Ctrl+";
    if (Alt) s += "Alt+";
    return s + KeyName(Key);
}

void TAction::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (value && GroupIndex > 0 && list_) {
        for (auto& other : list_->actions_)
            if (other.get() != this && other->GroupIndex == GroupIndex) other->SetChecked(false);
    }
    Notify();
}

void TAction::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Notify();
}

void TAction::Notify() {
    for (auto& l : listeners_)
        l(*this);
}

bool TAction::Execute() {
    if (!enabled_) return false;
    if (AutoCheck) SetChecked(!checked_);
    if (!OnExecute) return false;
    OnExecute(*this);
    return true;
}

TAction& TActionList::Add(const std::string& name, const std::string& category,
                          const std::string& caption, const std::string& hint,
                          std::function<void(TAction&)> onExecute) {
    auto a = std::make_unique<TAction>();
    a->Id = nextId_++;
    a->Name = name;
    a->Category = category;
    a->Caption = caption;
    a->Hint = hint;
    a->OnExecute = std::move(onExecute);
    a->list_ = this;
    actions_.push_back(std::move(a));
    return *actions_.back();
}

TAction* TActionList::Find(int id) const {
    for (auto& a : actions_)
        if (a->Id == id) return a.get();
    return nullptr;
}

TAction* TActionList::Find(const std::string& name) const {
    for (auto& a : actions_)
        if (a->Name == name) return a.get();
    return nullptr;
}

bool TActionList::Execute(int id) {
    TAction* a = Find(id);
    return a && a->Execute();
}

bool TActionList::ExecuteShortCut(const TShortCut& key) {
    if (key.Key == 0) return false;
    for (auto& a : actions_)
        if (a->ShortCut == key && a->Enabled()) return a->Execute();
    return false;
}

} // namespace vx::ui
