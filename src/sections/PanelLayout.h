// Which of a section's three side panels are open and how big they are, the
// panel settings kept per client, and the placing of the connection label.
#pragma once

#include "settings/RegistryHandler.h"

#include <string>

namespace vx {

inline constexpr int kInfoPadHeight = 106;

struct TPanelLayout {
    // Size of Panel_WorkArea, which the open panels take their share of; the
    // frame reports it when it is resized.
    int WorkAreaWidth = 845;
    int WorkAreaHeight = 431;

    int DataWidth = 186;                // Panel_Data_Base
    int MemoHeight = 129;               // Panel_Memo_Base (the billboard)
    int InfoPadHeight = kInfoPadHeight; // Panel_InfoPad
    bool ShowDataDown = true;           // btn_ShowData
    bool ShowMessageDown = true;        // btn_ShowMessage
    bool ShowInfoPadDown = true;        // btn_ShowInfoPad
    bool DataSplitterVisible = true;    // Splitter_2
    bool MemoSplitterVisible = true;    // Splitter_1
    // The frame's pixels per inch: the info pad's fixed height is of the
    // 96 layout and scales with it.
    int PixelsPerInch = 96;

    // Open or close each panel as its button says; an opened panel always
    // takes its fixed share, whatever size a splitter gave it before.
    void ShowData();     // half the work area's width
    void ShowMessages(); // a third of the work area's height
    void ShowInfoPad();  // 106 high at 96 pixels per inch
    // Another pixels per inch: the open panels' sizes scale with it.
    void SetPixelsPerInch(int value);
    void HideMessages(); // the billboard menu's "Hide"
    void HideInfoPad();  // the info pad menu's "Hide"
};

// Settings section of a client's panels: "Debugger\" and its ID.
std::string PanelSettingsSection(const std::string& clientID);
// Deleted sections (and clients whose ID looks like one) never write settings.
bool IsDeletedClientID(const std::string& clientID);

// Restores which panels are open from the client's settings.
void LoadPanelSettings(TPanelLayout& layout, TRegistryHandler& registry,
                       const std::string& clientID);
// Stores the panel sizes unless the ID is a deleted one.
void SavePanelSettings(const TPanelLayout& layout, TRegistryHandler& registry,
                       const std::string& clientID);

// The connection label sits 10 pixels (of the 96 layout: `margin` at the
// frame's pixels per inch) from the right of Panel_Info and gives way to a
// long application name.
struct TLabelPlacement {
    int Left = 0;
    bool Visible = false;
};
TLabelPlacement PlaceConnectionLabel(int infoPanelWidth, int labelWidth, int applicationLabelWidth,
                                     int margin = 10);

// Width of the info pad's value edits for a pad of the given width (the
// labels' column is `labels` wide).
inline int InfoEditWidth(int infoPadWidth, int labels = 100) {
    return infoPadWidth - labels;
}

} // namespace vx
