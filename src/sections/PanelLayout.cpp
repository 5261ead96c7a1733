#include "PanelLayout.h"

namespace vx {

namespace {

constexpr const char* kDataPanel = "Data Panel";
constexpr const char* kMemoPanel = "Memo Panel";
constexpr const char* kInfoPanel = "Info Panel";

} // namespace

void TPanelLayout::ShowData() {
    DataWidth = ShowDataDown ? WorkAreaWidth / 2 : 0;
    DataSplitterVisible = ShowDataDown;
}

void TPanelLayout::ShowMessages() {
    MemoHeight = ShowMessageDown ? WorkAreaHeight / 3 : 0;
    MemoSplitterVisible = ShowMessageDown;
}

void TPanelLayout::ShowInfoPad() {
    InfoPadHeight = ShowInfoPadDown ? kInfoPadHeight * PixelsPerInch / 96 : 0;
}

void TPanelLayout::SetPixelsPerInch(int value) {
    if (value <= 0 || value == PixelsPerInch) return;
    auto scaled = [&](int v) { return int((long long)v * value / PixelsPerInch); };
    DataWidth = scaled(DataWidth);
    MemoHeight = scaled(MemoHeight);
    InfoPadHeight = scaled(InfoPadHeight);
    PixelsPerInch = value;
}

void TPanelLayout::HideMessages() {
    ShowMessageDown = false;
    MemoHeight = 0;
    MemoSplitterVisible = false;
}

void TPanelLayout::HideInfoPad() {
    ShowInfoPadDown = false;
    InfoPadHeight = 0;
}

std::string PanelSettingsSection(const std::string& clientID) {
    return "Debugger\\" + clientID;
}

bool IsDeletedClientID(const std::string& clientID) {
    return clientID.rfind("DEL_", 0) == 0;
}

void LoadPanelSettings(TPanelLayout& layout, TRegistryHandler& registry,
                       const std::string& clientID) {
    std::string section = PanelSettingsSection(clientID);
    int data = registry.RegReadInteger(section, kDataPanel, layout.DataWidth);
    int memo = registry.RegReadInteger(section, kMemoPanel, layout.MemoHeight);
    bool info = registry.RegReadBool(section, kInfoPanel, true);
    // The stored sizes only say whether a panel is open.
    layout.ShowInfoPadDown = info;
    layout.ShowInfoPad();
    layout.ShowDataDown = data != 0;
    layout.ShowData();
    layout.ShowMessageDown = memo != 0;
    layout.ShowMessages();
}

void SavePanelSettings(const TPanelLayout& layout, TRegistryHandler& registry,
                       const std::string& clientID) {
    if (IsDeletedClientID(clientID)) return;
    std::string section = PanelSettingsSection(clientID);
    registry.RegWriteInteger(section, kDataPanel, layout.DataWidth);
    registry.RegWriteInteger(section, kMemoPanel, layout.MemoHeight);
    registry.RegWriteBool(section, kInfoPanel, layout.InfoPadHeight != 0);
}

TLabelPlacement PlaceConnectionLabel(int infoPanelWidth, int labelWidth, int applicationLabelWidth,
                                     int margin) {
    TLabelPlacement p;
    p.Left = infoPanelWidth - labelWidth - margin;
    p.Visible = applicationLabelWidth < p.Left;
    return p;
}

} // namespace vx
