// A section frame in a plain window, with fake services, for the window tests.
#pragma once

#include "find/RuleEditor.h"
#include "platform/Fakes.h"
#include "sections/frame_Sections_win.h"
#include "settings/RegistryHandler.h"
#include "support/FakeSectionHost.h"
#include "support/WinTest_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace vxtest {

// The rule dialog as a test answers it: OK with Answer, or Cancel.
struct TFakeRuleEditor : vx::IRuleEditor {
    std::vector<std::vector<vx::TFindRule>> Answers; // taken in order; none left: Cancel
    std::vector<std::string> Captions;
    std::vector<std::vector<vx::TFindRule>> Shown; // the rules each call was given
    bool EditRules(const std::string& caption, std::vector<vx::TFindRule>& rules) override {
        Captions.push_back(caption);
        Shown.push_back(rules);
        if (Answers.empty()) return false;
        rules = Answers.front();
        Answers.erase(Answers.begin());
        return true;
    }
};

// A top-level window holding a dock panel of the widget layer (as the main
// window's PANEL_PLUGIN_DOCK) with one frame in it.
class TFrameRig {
  public:
    explicit TFrameRig(vx::ISettingsBackend* settings = nullptr, int width = 900, int height = 640);
    ~TFrameRig();

    // Another frame in the same dock, sharing the services.
    std::unique_ptr<vx::Tfme_Sections> NewFrame();

    vx::TFakePlatform Platform;
    vx::TMemorySettings Memory;
    std::unique_ptr<vx::TRegistryHandler> Registry;
    TFakeSectionHost Host;
    TFakeRuleEditor RuleEditor;
    vx::TDataViewerModel Viewer;
    vx::TSectionShared Shared;
    HWND Window = nullptr;
    std::unique_ptr<vx::ui::TPanel> Dock;
    std::unique_ptr<vx::Tfme_Sections> Frame;

    vx::TSectionCore& Core() { return Frame->Core(); }
};

vx::TDebugInfoRec Rec(uint8_t group, uint8_t kind, const std::string& text,
                      const std::string& data = "", int line = 0);

// Runs the waiting messages and waits until every frame shows what its core holds.
void Pump();
std::string ItemText(HWND list, int item, int column);
int ItemImage(HWND list, int item, int column);
bool ItemState(HWND list, int item, UINT state);
// The menu entry's text, and whether it is enabled, checked or a separator.
std::string MenuText(HMENU menu, int pos);
bool MenuEnabled(HMENU menu, int pos);
bool MenuChecked(HMENU menu, int pos);
bool MenuSeparator(HMENU menu, int pos);
// Runs a menu's entry by name as a click on it.
void Choose(vx::ui::TPopupMenu& menu, const std::string& name);
void Key(HWND window, WORD key);
// A key with Shift or Ctrl held (vx::kmShift, vx::kmCtrl), as the thread's key state tells.
void KeyWith(HWND window, WORD key, unsigned modifiers);
void Click(vx::ui::TWindow& button); // BM_CLICK

// A list's client area as it paints it, its background erased first.
inline TPixels PrintList(HWND list) {
    return PrintClient(list, PRF_CLIENT | PRF_ERASEBKGND);
}

} // namespace vxtest
