#include "mainwindow/MainWindowSettings.h"

namespace vx {
namespace {
const char* const kDisplay = "Display";
} // namespace

TMainWindowSettings LoadMainWindowSettings(TRegistryHandler& registry, const IScreen& screen,
                                           const TMainWindowSettings& current) {
    TMainWindowSettings s = current;
    s.Left = registry.RegReadInteger(kDisplay, "Main Left", current.Left);
    s.Top = registry.RegReadInteger(kDisplay, "Main Top", current.Top);
    s.Width = registry.RegReadInteger(kDisplay, "Main Width", current.Width);
    s.Height = registry.RegReadInteger(kDisplay, "Main Height", current.Height);
    if (s.Left < 0) s.Left = 0;
    if (s.Top < 0) s.Top = 0;
    if (s.Width > screen.Width()) s.Width = screen.Width();
    if (s.Height > screen.Height()) s.Height = screen.Height();
    s.InformationLine =
        registry.RegReadBool(kDisplay, "Main Information Line", current.InformationLine);
    // Read once for each icon-size action; only the exact text means large.
    bool small = registry.RegReadString(kDisplay, "Icon Style", "bsLarge") != "bsLarge";
    bool large = registry.RegReadString(kDisplay, "Icon Style", "bsLarge") == "bsLarge";
    s.LargeIcons = large && !small;
    s.SideBar = registry.RegReadBool(kDisplay, "Main SideBar", current.SideBar);
    s.StatusBar = registry.RegReadBool(kDisplay, "Main StatusBar", current.StatusBar);
    return s;
}

void SaveMainWindowSettings(TRegistryHandler& registry, const TMainWindowSettings& s) {
    registry.RegWriteInteger(kDisplay, "Main Left", s.Left);
    registry.RegWriteInteger(kDisplay, "Main Top", s.Top);
    registry.RegWriteInteger(kDisplay, "Main Width", s.Width);
    registry.RegWriteInteger(kDisplay, "Main Height", s.Height);
    registry.RegWriteBool(kDisplay, "Main Information Line", s.InformationLine);
    registry.RegWriteBool(kDisplay, "Main StatusBar", s.StatusBar);
    registry.RegWriteBool(kDisplay, "Main SideBar", s.SideBar);
    registry.RegWriteString(kDisplay, "Icon Style", s.LargeIcons ? "bsLarge" : "bsSmall");
    registry.RegWriteInteger(kDisplay, "OutlookBar Width", s.OutlookBarWidth);
}

} // namespace vx
