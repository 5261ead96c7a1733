#include "ui/Dialogs_win.h"

#include "platform/WindowHelpers_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vx {
namespace {

enum { kPromptId = 100, kEditId = 101 };

// The input box: a window of the system's dialog class (so that it looks,
// and answers Tab, Enter and Escape, like every other box) driven by the
// window layer, with a caption, the prompt, one edit, OK and Cancel.
class TInputBox {
  public:
    TInputBox(HWND owner, const std::string& caption, const std::string& prompt,
              const std::string& value);
    ~TInputBox() { window_.Destroy(); }
    TInputBox(const TInputBox&) = delete;
    TInputBox& operator=(const TInputBox&) = delete;
    // True and the typed text for OK.
    bool ShowModal(std::string& answer);

  private:
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    HWND Add(const char* className, const std::string& text, DWORD style, int id, const RECT& r);

    HFONT Font() const { return font_ ? font_.Get() : HFONT(GetStockObject(DEFAULT_GUI_FONT)); }

    HWND owner_;
    ui::ScopedFont font_; // away from the system's pixels per inch
    ui::TOwnedWindow window_;
    HWND edit_ = nullptr;
    bool closed_ = false, confirmed_ = false;
    std::string answer_;
};

TInputBox::TInputBox(HWND owner, const std::string& caption, const std::string& prompt,
                     const std::string& value)
    : owner_(owner) {
    // Measures in dialog units of the standard GUI font, as a dialog
    // template would give them, so that the box follows the system's font
    // (at the owner's pixels per inch).
    const UINT dpi = ui::WindowDpi(owner);
    if (dpi != ui::SystemDpi()) font_.Reset(ui::CreateGuiFont(dpi));
    HFONT font = Font();
    ui::ScopedGetDC dc(nullptr);
    ui::ScopedSelectObject select(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SIZE letters{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    const int baseX = std::max(1, int((letters.cx / 26 + 1) / 2));
    const int baseY = std::max(1, int(tm.tmHeight));
    auto x = [&](int dlu) { return MulDiv(dlu, baseX, 4); };
    auto y = [&](int dlu) { return MulDiv(dlu, baseY, 8); };
    SIZE promptSize{};
    GetTextExtentPoint32A(dc, prompt.data(), int(std::min<size_t>(prompt.size(), 4096)),
                          &promptSize);
    // Wide enough for the prompt on one line, within reason.
    const int width = std::clamp(int(promptSize.cx) + x(16), x(180), x(360));
    const int height = y(63);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | DS_MODALFRAME;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int outerW = frame.right - frame.left, outerH = frame.bottom - frame.top;
    // Centred over the owner when it shows, else on the work area.
    RECT area{};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ui::TCreateParams params;
    params.Style = style;
    params.ExStyle = exStyle;
    params.Text = caption.c_str();
    params.Left = area.left + (area.right - area.left - outerW) / 2;
    params.Top = area.top + (area.bottom - area.top - outerH) / 2;
    params.Width = outerW;
    params.Height = outerH;
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return Message(msg, wParam, lParam);
    };
    if (!window_.CreateControl("#32770", params, typeid(TInputBox))) return;
    Add("STATIC", prompt, SS_LEFT | SS_NOPREFIX, kPromptId, {x(8), y(6), width - x(8), y(16)});
    edit_ = Add("EDIT", value, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, kEditId,
                {x(8), y(19), width - x(8), y(31)});
    const int mid = width / 2;
    Add("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK,
        {mid - x(54), y(41), mid - x(4), y(55)});
    Add("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
        {mid + x(4), y(41), mid + x(54), y(55)});
    SendMessageA(edit_, EM_SETSEL, 0, -1);
}

HWND TInputBox::Add(const char* className, const std::string& text, DWORD style, int id,
                    const RECT& r) {
    HWND h = CreateWindowExA(className == std::string("EDIT") ? WS_EX_CLIENTEDGE : 0, className,
                             text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, window_.Handle(),
                             HMENU(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(h, WM_SETFONT, WPARAM(Font()), FALSE);
    return h;
}

bool TInputBox::ShowModal(std::string& answer) {
    if (!window_.Handle()) return false;
    HWND focus = GetFocus();
    RunModalLoop(window_.Handle(), owner_, edit_, [this] { return closed_ || !window_.Handle(); });
    window_.Destroy();
    if (focus && IsWindow(focus)) SetFocus(focus);
    if (confirmed_) answer = answer_;
    return confirmed_;
}

LRESULT TInputBox::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL through IsDialogMessage.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (LOWORD(wParam) == IDOK) {
                std::vector<char> buf(size_t(GetWindowTextLengthA(edit_)) + 1, '\0');
                GetWindowTextA(edit_, buf.data(), int(buf.size()));
                answer_ = buf.data();
                confirmed_ = true;
            }
            closed_ = true;
            return 0;
        }
        break;
    case WM_CLOSE:
        closed_ = true;
        return 0;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace

void TWinDialogs::ShowError(const std::string& text) {
    MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_OK | MB_ICONERROR);
}

void TWinDialogs::ShowInformation(const std::string& text) {
    MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_OK | MB_ICONINFORMATION);
}

bool TWinDialogs::ConfirmYesNo(const std::string& text) {
    return MessageBoxA(Owner, text.c_str(), Title.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

namespace {

// What the save and open dialogs share: the filter with the NULs the dialog
// wants in place of its "|" separators, the file-name buffer, the folder and
// the title. `open` picks the dialog; the default extension is the save
// dialog's.
bool FileDialog(HWND owner, const TSaveDialogParams& params, bool open, std::string& fileName) {
    std::string filter = params.Filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> file(32768, '\0');
    params.FileName.copy(file.data(), file.size() - 1);
    std::string ext = open ? std::string() : params.DefaultExt;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = params.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = params.InitialDir.empty() ? nullptr : params.InitialDir.c_str();
    ofn.lpstrTitle = params.Title.empty() ? nullptr : params.Title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    // Overwriting is the export engine's question, not the save dialog's.
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER |
                OFN_ENABLESIZING | (open ? OFN_FILEMUSTEXIST : 0);
    if (!(open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn))) return false;
    fileName = file.data();
    return true;
}

} // namespace

bool TWinDialogs::SaveFile(const TSaveDialogParams& params, std::string& fileName) {
    return FileDialog(Owner, params, false, fileName);
}

bool TWinDialogs::OpenFile(const TSaveDialogParams& params, std::string& fileName) {
    return FileDialog(Owner, params, true, fileName);
}

std::string TWinDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                  const std::string& def) {
    TInputBox box(Owner, caption, prompt, def);
    std::string answer;
    return box.ShowModal(answer) ? answer : def;
}

} // namespace vx
