#include "ExportUiRig.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vxtest {

void TTable::GetRecordValues(vx::TvxValues& v) {
    v = {vx::TVariant(std::to_string(RecordIndex + 1)),
         vx::TVariant(Prefix + " " + std::to_string(RecordIndex + 1))};
}

void Drive(vx::TvxExportUIWin& ui, std::vector<TStep> steps) {
    RunDialogSteps([&ui] { return ui.Dialog(); }, std::move(steps));
}

bool DriveFinished() {
    return DialogStepsLeft() == 0;
}

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(RECT r, int left, int top, int width, int height) {
    return r.left == left && r.top == top && r.right - r.left == width &&
           r.bottom - r.top == height;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    const int n = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::vector<char> buf(size_t(SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(buf.data()));
        items.push_back(buf.data());
    }
    return items;
}

void SelectItem(HWND dialog, const std::string& text) {
    HWND combo = GetDlgItem(dialog, vx::kFormatListId);
    const int item = int(SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text.c_str())));
    SendMessageA(combo, CB_SETCURSEL, WPARAM(item), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(vx::kFormatListId, CBN_SELCHANGE), LPARAM(combo));
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TPlainHost& Owner() {
    static TPlainHost* host = [] {
        auto* h = new TPlainHost({20, 20, 400, 300, true});
        PumpFor(50);
        return h;
    }();
    return *host;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TempFolder() {
    static int counter = 0;
    namespace fs = std::filesystem;
    fs::path dir =
        fs::temp_directory_path() /
        ("vx_export_ui_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string() + "\\";
}

} // namespace vxtest
