#include "export/vxExportUI_win.h"

#include "export/vxExport.h"
#include "export/vxExportWindows_win.h"

namespace vx {

const TvxExportType kExportTypeDisplayOrder[kExportTypeCount] = {
    xtHTML, xtWord, xtExcel, xtTXT, xtRTF, xtCSV, xtTAB, xtDIF, xtSYLK, xtClipboard};

const char* ExportTypeDisplayName(TvxExportType type) {
    static const char* const names[kExportTypeCount] = {
        "HTML",      "Microsoft Excel",         "Microsoft Word",
        "Text",      "Comma-Separated Text",    "Tab-Separated Text",
        "Rich Text", "Data Interchange Format", "SYLK Format",
        "Clipboard"};
    return unsigned(type) < unsigned(kExportTypeCount) ? names[type] : "";
}

const char* ExportTypeBitmapName(TvxExportType type) {
    static const char* const names[kExportTypeCount] = {"XTHTML", "XTEXCEL",    "XTWORD", "XTTXT",
                                                        "XTCSV",  "XTTAB",      "XTRTF",  "XTDIF",
                                                        "XTSYLK", "XTCLIPBOARD"};
    return unsigned(type) < unsigned(kExportTypeCount) ? names[type] : "";
}

TvxExportUIWin::TvxExportUIWin(HWND owner, HINSTANCE module)
    : owner_(owner), module_(module ? module : GetModuleHandleA(nullptr)) {}

std::unique_ptr<IExportProgress> TvxExportUIWin::ShowProgress(TvxCustomExport& exporter, int max) {
    return std::make_unique<TvxExportProgressWin>(owner_, exporter.Messages, max);
}

namespace export_ui {

POINT CentredOnScreen(int width, int height) {
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

void SetGuiFont(HWND control) {
    SendMessageA(control, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

} // namespace export_ui

} // namespace vx
