// The main window's stored settings (section "Display"): what LoadSettings
// reads and SaveSettings writes, in the store's order, with the screen clamps.
#pragma once

#include "platform/Platform.h"
#include "settings/RegistryHandler.h"

namespace vx {

struct TMainWindowSettings {
    int Left = 361, Top = 255, Width = 799, Height = 604;
    bool InformationLine = true;
    bool LargeIcons = true; // "Icon Style" "bsLarge"
    bool SideBar = true;
    bool StatusBar = true;
    int OutlookBarWidth = 130; // written on close, not read back
    bool operator==(const TMainWindowSettings&) const = default;
};

// Reads the settings with `current` as the defaults. A negative left or top
// becomes 0; a width or height beyond the screen becomes the screen's.
TMainWindowSettings LoadMainWindowSettings(TRegistryHandler& registry, const IScreen& screen,
                                           const TMainWindowSettings& current);
void SaveMainWindowSettings(TRegistryHandler& registry, const TMainWindowSettings& settings);

} // namespace vx
