// Actions: one command with its caption, hint, check and enabled state and
// shortcut, executed from menus, buttons and keys alike. Portable: menus and
// buttons read them and listen for changes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx::ui {

// A key with modifiers; Key is a Windows virtual-key code (0: none).
struct TShortCut {
    uint16_t Key = 0;
    bool Ctrl = false, Shift = false, Alt = false;
    bool operator==(const TShortCut&) const = default;
    // "Ctrl+N", "Del", "Shift+F2" as menus show it; empty for none.
    std::string Text() const;
};

class TActionList;

class TAction {
  public:
    int Id = 0; // the menu command id, unique in its list
    std::string Name, Category, Caption, Hint;
    TShortCut ShortCut;
    // Checking an action of a group above 0 unchecks the others of that group.
    int GroupIndex = 0;
    // Execute flips the check before running the handler.
    bool AutoCheck = false;
    std::function<void(TAction& sender)> OnExecute;

    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Runs the handler when enabled; false when disabled or without a handler.
    bool Execute();
    // Called whenever the check or enabled state changes.
    void Listen(std::function<void(TAction&)> listener) {
        listeners_.push_back(std::move(listener));
    }

  private:
    friend class TActionList;
    void Notify();
    TActionList* list_ = nullptr;
    bool checked_ = false, enabled_ = true;
    std::vector<std::function<void(TAction&)>> listeners_;
};

class TActionList {
  public:
    explicit TActionList(int firstId = 1000) : nextId_(firstId) {}
    TAction& Add(const std::string& name, const std::string& category, const std::string& caption,
                 const std::string& hint, std::function<void(TAction&)> onExecute = nullptr);
    TAction* Find(int id) const;
    TAction* Find(const std::string& name) const;
    bool Execute(int id);
    // Runs the enabled action with this shortcut; false when there is none.
    bool ExecuteShortCut(const TShortCut& key);
    const std::vector<std::unique_ptr<TAction>>& Actions() const { return actions_; }

  private:
    friend class TAction;
    std::vector<std::unique_ptr<TAction>> actions_;
    int nextId_;
};

} // namespace vx::ui
