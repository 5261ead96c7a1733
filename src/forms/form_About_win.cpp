#include "forms/form_About_win.h"

#include "platform/WindowHelpers_win.h"

#include "forms/ArtImages_win.h"
#include "forms/ProgramVersion_win.h"
#include "resource_ids.h"

#include <algorithm>
#include <vector>

namespace vx {

namespace {

constexpr const char* kFormClass = "Tfrm_About";
constexpr const char* kPanelClass = "Tfrm_About.Panel";
constexpr int kLeftPanelId = 1, kClientPanelId = 2;
constexpr int kLeftPanelWidth = 73;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kNavy = RGB(0, 0, 128);

TFont LabelFont() {
    return TFont{};
} // MS Sans Serif, 8 points

TFont TitleFont(TColor color) {
    TFont f;
    f.Name = "Comic Sans MS";
    f.Size = 24; // 32 pixels in the layout
    f.Bold = true;
    f.Color = color;
    return f;
}

TFont BoldNavyFont() {
    TFont f;
    f.Bold = true;
    f.Color = clNavy;
    return f;
}

} // namespace

std::array<RECT, 3> AboutBevels(UINT dpi) {
    auto r = [dpi](int left, int top, int width, int height) {
        return RECT{ui::Scale(left, dpi), ui::Scale(top, dpi), ui::Scale(left + width, dpi),
                    ui::Scale(top + height, dpi)};
    };
    return {r(8, 170, 513, 39), r(8, 218, 513, 111), r(8, 344, 513, 50)};
}

int Tfrm_About::Unscale(int px) const {
    return MulDiv(px, kAboutLayoutPixelsPerInch, int(dpi_));
}

Tfrm_About::Tfrm_About(HINSTANCE module, TRegistryHandler& settings, IShell* shell, HWND owner)
    : settings_(settings), dpi_(ui::WindowDpi(owner)) {
    whiteBrush_.Reset(CreateSolidBrush(kWhite));
    navyBrush_.Reset(CreateSolidBrush(kNavy));
    icon_.Reset(LoadProgramIcon(module, S(48)));

    // Dialog border without border icons; the client area has the form's size.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, S(kAboutClientWidth), S(kAboutClientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    ui::TCreateParams params;
    params.Class.Name = kFormClass;
    params.Class.Style = 0;
    params.Class.Background = GetSysColorBrush(COLOR_BTNFACE);
    params.Style = style;
    params.ExStyle = exStyle;
    params.Text = about_text::Caption;
    params.Left = left;
    params.Top = top;
    params.Width = w;
    params.Height = h;
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return FormMessage(msg, wParam, lParam);
    };
    window_.Create(params, typeid(*this));
    if (Handle()) CaptionGradient.Attach(Handle());
    CreateComponents(module, shell);
    FormCreate();
}

Tfrm_About::~Tfrm_About() {
    FormDestroy();
    lbl_CMP.reset();
    Lbl_Version.reset();
    lbl_Notice.reset();
    lbl_Support.reset();
    lbl_Author.reset();
    Label1.reset();
    vxLinkLabel.reset();
    lbl_Icons_1.reset();
    lbl_Icons_2.reset();
    lnk_Silk.reset();
    lnk_Tango.reset();
    lbl_Free.reset();
    GIFAnimator_1.reset();
    Panel_Left.Handler = nullptr;
    Panel_Client.Handler = nullptr;
    window_.Destroy();
}

std::unique_ptr<TvxLinkLabel> Tfrm_About::Label(int left, int top, const char* caption,
                                                IShell* shell, const TFont& font) {
    TLinkLabelStyle s;
    s.Caption = caption;
    s.Left = S(left);
    s.Top = S(top);
    s.Font = font;
    s.PixelsPerInch = int(dpi_);
    return std::make_unique<TvxLinkLabel>(Panel_Client.Handle(), s, shell);
}

std::unique_ptr<TvxLinkLabel> Tfrm_About::Link(int left, int top, const char* caption,
                                               const char* link, TvxLinkLabelStyle style,
                                               IShell* shell) {
    // Blue at rest too, so a link reads as one before the mouse finds it.
    TLinkLabelStyle s;
    s.Caption = caption;
    s.Left = S(left);
    s.Top = S(top);
    s.Font = LabelFont();
    s.Font.Color = clBlue;
    s.LinkFont = s.Font;
    s.LinkFont->Underline = true;
    s.LabelStyle = style;
    s.Link = link;
    s.PixelsPerInch = int(dpi_);
    return std::make_unique<TvxLinkLabel>(Panel_Client.Handle(), s, shell);
}

void Tfrm_About::CreateComponents(HINSTANCE module, IShell* shell) {
    HINSTANCE self = ThisModule();
    ui::TCreateParams panel;
    panel.Class.Name = kPanelClass;
    panel.Class.Style = 0;
    panel.ParentHandle = Handle();
    panel.Width = S(kLeftPanelWidth);
    panel.Height = S(kAboutClientHeight);
    panel.Id = kLeftPanelId;
    Panel_Left.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return PanelMessage(true, msg, wParam, lParam);
    };
    Panel_Left.Create(panel, typeid(*this));
    panel.ExStyle = WS_EX_CONTROLPARENT;
    panel.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    panel.Left = S(kLeftPanelWidth);
    panel.Width = S(kAboutClientWidth) - S(kLeftPanelWidth);
    panel.Id = kClientPanelId;
    Panel_Client.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return PanelMessage(false, msg, wParam, lParam);
    };
    Panel_Client.Create(panel, typeid(*this));
    using LS = TvxLinkLabelStyle;
    lbl_CMP = Label(8, 16, about_text::Title, shell, TitleFont(clNavy));
    Lbl_Version = Label(8, 64, "0.0", shell, TitleFont(clWindowText));
    FitTitle();
    lbl_Notice = Label(8, 112, about_text::Notice, shell, LabelFont());
    lbl_Support = Label(8, 128, about_text::Support, shell, LabelFont());
    // The links follow their texts, also where a substituted font runs wider.
    // (Both given in 96-DPI pixels, as every place here.)
    const int authorLeft = std::max<int>(304, Unscale(lbl_Support->BoundsRect().right));
    lbl_Author = Link(authorLeft, 128, about_text::ClickHere, kSupportMail, LS::lsMailTo, shell);
    Label1 = Label(8, 144, about_text::Website, shell, LabelFont());
    const int webLeft = std::max<int>(128, Unscale(Label1->BoundsRect().right));
    vxLinkLabel =
        Link(webLeft, 144, about_text::ClickHere, kPublisherWebPage, LS::lsInternetLink, shell);
    lbl_Icons_1 = Label(16, 176, about_text::Icons1, shell, LabelFont());
    lnk_Silk = Link(336, 176, about_text::SilkLink, kSilkIconsPage, LS::lsInternetLink, shell);
    lbl_Icons_2 = Label(16, 192, about_text::Icons2, shell, LabelFont());
    lnk_Tango = Link(336, 192, about_text::TangoLink, kTangoIconsPage, LS::lsInternetLink, shell);
    lbl_Free = Label(16, 232, about_text::Free, shell, BoldNavyFont());

    Memo1 = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", about_text::Disclaimer,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL,
                            S(16), S(256), S(497), S(73), Panel_Client.Handle(), nullptr, self,
                            nullptr);
    const int labelPixels = FontPixels(LabelFont(), int(dpi_));
    SendMessageA(Memo1, WM_SETFONT, WPARAM(memoFont_.Get(LabelFont(), labelPixels)), FALSE);
    GIFAnimator_1 = std::make_unique<TGifAnimator>(
        Panel_Client.Handle(),
        TGifAnimatorStyle{S(16), S(352), S(114), S(41), module, IDR_ABOUT_GIF});
    btn_Close = CreateWindowExA(0, "BUTTON", about_text::Ok,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_FLAT,
                                S(424), S(360), S(89), S(25), Panel_Client.Handle(),
                                HMENU(INT_PTR(IDOK)), self, nullptr);
    SendMessageA(btn_Close, WM_SETFONT, WPARAM(buttonFont_.Get(LabelFont(), labelPixels)), FALSE);
}

// Where the title's font is a substitute that runs wider than the one the box
// was drawn with, the title and the version under it get smaller until the
// title fits its panel.
void Tfrm_About::FitTitle() {
    const int right = S(kAboutClientWidth) - S(kLeftPanelWidth) - S(8); // the left margin, mirrored
    int ppi = int(dpi_);
    while (lbl_CMP->BoundsRect().right > right && ppi > int(dpi_) / 2)
        lbl_CMP->SetPixelsPerInch(--ppi);
    Lbl_Version->SetPixelsPerInch(ppi);
}

void Tfrm_About::FormCreate() {
    SetPosition(LoadAboutPosition(settings_, Position()));
    Lbl_Version->SetCaption(ProgramVersionText());
}

void Tfrm_About::FormDestroy() {
    if (Handle()) SaveAboutPosition(settings_, Position());
}

TFormPosition Tfrm_About::Position() const {
    RECT r{};
    if (Handle()) GetWindowRect(Handle(), &r);
    return {r.left, r.top};
}

void Tfrm_About::SetPosition(TFormPosition position) {
    if (Handle())
        SetWindowPos(Handle(), nullptr, position.Left, position.Top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tfrm_About::Execute() {
    StartAnimation();
    ShowModal();
    StopAnimation();
}

void Tfrm_About::ShowModal() {
    if (modal_ || !Handle()) return;
    modal_ = true;
    RunModalLoop(Handle(), nullptr, btn_Close, [this] { return !modal_; });
    modal_ = false;
    ShowWindow(Handle(), SW_HIDE);
}

void Tfrm_About::Close() {
    if (modal_)
        modal_ = false;
    else if (Handle())
        ShowWindow(Handle(), SW_HIDE);
}

void Tfrm_About::PaintLeftPanel(HDC dc) {
    RECT r;
    GetClientRect(Panel_Left.Handle(), &r);
    FillRect(dc, &r, navyBrush_);
    if (icon_)
        DrawIconEx(dc, (S(kLeftPanelWidth) - S(48)) / 2, S(16), icon_, S(48), S(48), 0, nullptr,
                   DI_NORMAL);
}

void Tfrm_About::PaintClientPanel(HDC dc) {
    RECT r;
    GetClientRect(Panel_Client.Handle(), &r);
    FillRect(dc, &r, whiteBrush_);
    // Bevel3 (acknowledgement), Bevel2 (notice and disclaimer), Bevel1 (animation, button).
    for (RECT b : AboutBevels(dpi_))
        DrawEdge(dc, &b, EDGE_ETCHED, BF_RECT);
}

LRESULT Tfrm_About::FormMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CaptionGradient.HandleMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL through IsDialogMessage.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Close();
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CLOSE:
        Close();
        return 0;
    }
    return window_.Default(msg, wParam, lParam);
}

LRESULT Tfrm_About::PanelMessage(bool left, UINT msg, WPARAM wParam, LPARAM lParam) {
    ui::TOwnedWindow& panel = left ? Panel_Left : Panel_Client;
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, left ? kWhite : GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, left ? kNavy : kWhite);
        return reinterpret_cast<LRESULT>(left ? navyBrush_.Get() : whiteBrush_.Get());
    }
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == btn_Close && HIWORD(wParam) == BN_CLICKED) Close();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        ui::ScopedPaint dc(panel.Handle());
        if (left)
            PaintLeftPanel(dc);
        else
            PaintClientPanel(dc);
        return 0;
    }
    }
    return panel.Default(msg, wParam, lParam);
}

} // namespace vx
