#include "mainwindow/RemoteClientsDialog_win.h"

#include "platform/WindowHelpers_win.h"
#include "ui/Dpi_win.h"
#include "ui/Window_win.h"

#include <string>
#include <vector>

namespace vx {

namespace {

constexpr const char* kDialogClass = "TRemoteClientsDialog";
constexpr int kWidth = 380, kHeight = 250;
enum : int { kListenId = 101, kAddressId, kPortId, kKeyId, kProblemId };

class TDialog {
  public:
    TDialog(HWND owner, const net::TTcpSettings& settings,
            const net::IRemoteClientsDialog::TApply& apply)
        : owner_(owner), apply_(apply) {
        ui::TCreateParams p;
        p.Class.Name = kDialogClass;
        p.Class.Style = 0;
        p.Class.Background = GetSysColorBrush(COLOR_BTNFACE);
        p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
        p.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
        p.Text = "Remote clients";
        RECT r{0, 0, 0, 0};
        if (owner) GetWindowRect(owner, &r);
        p.Left = owner ? r.left + ((r.right - r.left) - kWidth) / 2
                       : (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
        p.Top = owner ? r.top + ((r.bottom - r.top) - kHeight) / 2
                      : (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
        if (p.Left < 0) p.Left = 0;
        if (p.Top < 0) p.Top = 0;
        p.Width = kWidth;
        p.Height = kHeight;
        p.ParentHandle = owner;
        window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
            return WndProc(msg, wParam, lParam);
        };
        if (!window_.Create(p, typeid(*this))) return;
        CreateControls(settings);
        font_ = ui::ScaleDialog(window_.Handle(), ui::WindowDpi(owner));
        ShowProblem();
    }
    ~TDialog() { window_.Destroy(); }

    bool ShowModal() {
        if (!window_.Handle()) return false;
        HWND focus = GetFocus();
        RunModalLoop(window_.Handle(), owner_, listen_, [this] { return closed_; });
        window_.Destroy();
        if (focus && IsWindow(focus)) SetFocus(focus);
        return applied_;
    }

  private:
    HWND Add(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h,
             DWORD exStyle = 0) {
        HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                 window_.Handle(), HMENU(INT_PTR(id)), GetModuleHandleA(nullptr),
                                 nullptr);
        SendMessageA(c, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return c;
    }

    void CreateControls(const net::TTcpSettings& s) {
        // Tab order follows creation; each label's mnemonic moves to the edit after it.
        listen_ = Add("BUTTON", "&Listen for remote clients over TCP",
                      BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kListenId, 12, 12, 340, 20);
        Add("STATIC", "&Address:", SS_LEFT, 0, 12, 44, 70, 16);
        address_ = Add("EDIT", s.Address.c_str(), ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                       kAddressId, 90, 41, 150, 21, WS_EX_CLIENTEDGE);
        Add("STATIC", "&Port:", SS_LEFT, 0, 12, 72, 70, 16);
        port_ = Add("EDIT", std::to_string(s.Port).c_str(),
                    ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kPortId, 90, 69, 70, 21,
                    WS_EX_CLIENTEDGE);
        Add("STATIC", "&Key:", SS_LEFT, 0, 12, 100, 70, 16);
        key_ = Add("EDIT", s.Key.c_str(), ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                   kKeyId, 90, 97, 262, 21, WS_EX_CLIENTEDGE);
        SendMessageA(address_, EM_LIMITTEXT, 64, 0);
        SendMessageA(port_, EM_LIMITTEXT, 5, 0);
        SendMessageA(key_, EM_LIMITTEXT, net::kMaxKeyLength, 0);
        problem_ = Add("STATIC", "", SS_LEFT | SS_NOPREFIX, kProblemId, 12, 128, 340, 44);
        Add("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 196, 182, 75, 25);
        Add("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL, 277, 182, 75, 25);
        SendMessageA(listen_, BM_SETCHECK, s.Listen ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    static std::string TextOf(HWND h) {
        std::vector<char> buf(size_t(GetWindowTextLengthA(h)) + 1, '\0');
        GetWindowTextA(h, buf.data(), int(buf.size()));
        return buf.data();
    }

    net::TTcpSettings Entered() const {
        net::TTcpSettings s;
        s.Listen = SendMessageA(listen_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        s.Address = TextOf(address_);
        // Pasted text may hold anything; what is no port number reads as 0.
        const std::string port = TextOf(port_);
        s.Port = 0;
        for (char c : port.size() <= 5 ? port : std::string()) {
            if (c < '0' || c > '9') {
                s.Port = 0;
                break;
            }
            s.Port = s.Port * 10 + (c - '0');
        }
        s.Key = TextOf(key_);
        return s;
    }

    void ShowProblem(const std::string& text = {}) {
        const net::TTcpSettings s = Entered();
        std::string shown = text.empty() ? net::TcpSettingsProblem(s) : text;
        if (shown.empty() && !s.Listen) shown = "Only programs on this desktop reach the viewer.";
        SetWindowTextA(problem_, shown.c_str());
    }

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id == IDOK) {
                std::string problem = apply_ ? apply_(Entered()) : std::string();
                if (problem.empty()) {
                    applied_ = closed_ = true;
                } else {
                    ShowProblem(problem);
                    MessageBeep(MB_ICONWARNING);
                }
            } else if (id == IDCANCEL) {
                closed_ = true;
            } else if ((id == kListenId && code == BN_CLICKED) ||
                       (id >= kAddressId && id <= kKeyId && code == EN_CHANGE)) {
                ShowProblem();
            }
            return 0;
        }
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_CLOSE:
            closed_ = true;
            return 0;
        }
        return window_.Default(msg, wParam, lParam);
    }

    HWND owner_;
    net::IRemoteClientsDialog::TApply apply_;
    ui::ScopedFont font_; // the controls' font away from the system's pixels per inch
    ui::TOwnedWindow window_;
    HWND listen_ = nullptr, address_ = nullptr, port_ = nullptr, key_ = nullptr, problem_ = nullptr;
    bool closed_ = false, applied_ = false;
};

} // namespace

bool TRemoteClientsDialogWin::Run(const net::TTcpSettings& settings, const TApply& apply) {
    TDialog dialog(owner_, settings, apply);
    return dialog.ShowModal();
}

} // namespace vx
