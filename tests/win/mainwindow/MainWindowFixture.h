// Builds the main window in-process over Wine's real registry, with scripted
// dialogs and a 1024 x 768 screen, and listens to the viewer's broadcasts
// the way a client does.
#pragma once

#include "mainwindow/form_MainWindow_win.h"
#include "platform/Fakes.h"
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"
#include "settings/RegistrySettings_win.h"
#include "ui/Window_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vxtest {

using namespace vx;

// A top-level window that records every "vxDebugger2Client" notice.
class TClientListener : public ui::TWindow {
  public:
    TClientListener() { CreateOwn(nullptr, WS_POPUP, 0, "client"); }
    struct Notice {
        WPARAM Code;
        LPARAM Viewer;
    };
    std::vector<Notice> Notices;
    int Count(WPARAM code) const {
        int n = 0;
        for (auto& x : Notices)
            n += x.Code == code;
        return n;
    }

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != 0 && msg == WM_DEBUGGER2CLIENT) {
            Notices.push_back({wParam, lParam});
            return 0;
        }
        return TWindow::WndProc(msg, wParam, lParam);
    }
};

inline const char* const kRoot = "Software\\Vexel\\Debugger\\1.0";

// A value as the registry holds it, or "<absent>".
inline std::string RegValue(const std::string& section, const std::string& name) {
    char buf[512];
    DWORD size = sizeof buf;
    std::string key = std::string(kRoot) + "\\" + section;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buf,
                     &size) != ERROR_SUCCESS)
        return "<absent>";
    return buf;
}

inline void RegPut(const std::string& section, const std::string& name, const std::string& value) {
    std::string key = std::string(kRoot) + "\\" + section;
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                    DWORD(value.size() + 1));
}

inline bool KeyExists(const std::string& section) {
    HKEY h;
    std::string key = std::string(kRoot) + "\\" + section;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterDebugMessages();
        RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
        listener = std::make_unique<TClientListener>();
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

    std::unique_ptr<Tfrm_VexelDebugWindow> Make() {
        TMainWindowContext ctx;
        ctx.Module = GetModuleHandleA(nullptr);
        ctx.Platform = fakes.Services();
        ctx.Registry = &registry;
        return std::make_unique<Tfrm_VexelDebugWindow>(ctx);
    }
    RECT WindowRect(const ui::TWindow& w) const {
        RECT r;
        GetWindowRect(w.Handle(), &r);
        return r;
    }

    TFakePlatform fakes;
    TRegistrySettings backend;
    TRegistryHandler registry{backend};
    std::unique_ptr<TClientListener> listener;
};

} // namespace vxtest
