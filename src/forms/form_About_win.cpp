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

Tfrm_About::Tfrm_About(HINSTANCE module, TRegistryHandler& settings, IShell* shell, HWND owner)
    : settings_(settings) {
    whiteBrush_.Reset(CreateSolidBrush(kWhite));
    navyBrush_.Reset(CreateSolidBrush(kNavy));
    icon_.Reset(LoadProgramIcon(module, 48));

    // Dialog border without border icons; the client area has the form's size.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT r{0, 0, kAboutClientWidth, kAboutClientHeight};
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
    auto label =
        std::make_unique<TvxLinkLabel>(Panel_Client.Handle(), left, top, caption, shell, font);
    label->SetPixelsPerInch(kAboutLayoutPixelsPerInch);
    return label;
}

std::unique_ptr<TvxLinkLabel> Tfrm_About::Link(int left, int top, const char* caption,
                                               const char* link, TvxLinkLabelStyle style,
                                               IShell* shell) {
    // Blue at rest too, so a link reads as one before the mouse finds it.
    TFont rest = LabelFont();
    rest.Color = clBlue;
    auto label = Label(left, top, caption, shell, rest);
    TFont hover = LabelFont();
    hover.Color = clBlue;
    hover.Underline = true;
    label->SetLinkFont(hover);
    label->SetShadowSize(0);
    label->SetLabelStyle(style);
    label->SetLink(link);
    return label;
}

void Tfrm_About::CreateComponents(HINSTANCE module, IShell* shell) {
    HINSTANCE self = ThisModule();
    ui::TCreateParams panel;
    panel.Class.Name = kPanelClass;
    panel.Class.Style = 0;
    panel.ParentHandle = Handle();
    panel.Width = kLeftPanelWidth;
    panel.Height = kAboutClientHeight;
    panel.Id = kLeftPanelId;
    Panel_Left.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return PanelMessage(true, msg, wParam, lParam);
    };
    Panel_Left.Create(panel, typeid(*this));
    panel.ExStyle = WS_EX_CONTROLPARENT;
    panel.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    panel.Left = kLeftPanelWidth;
    panel.Width = kAboutClientWidth - kLeftPanelWidth;
    panel.Id = kClientPanelId;
    Panel_Client.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return PanelMessage(false, msg, wParam, lParam);
    };
    Panel_Client.Create(panel, typeid(*this));
    using S = TvxLinkLabelStyle;
    lbl_CMP = Label(8, 16, about_text::Title, shell, TitleFont(clNavy));
    Lbl_Version = Label(8, 64, "0.0", shell, TitleFont(clWindowText));
    FitTitle();
    lbl_Notice = Label(8, 112, about_text::Notice, shell, LabelFont());
    lbl_Support = Label(8, 128, about_text::Support, shell, LabelFont());
    // The links follow their texts, also where a substituted font runs wider.
    const int authorLeft = std::max<int>(304, lbl_Support->BoundsRect().right);
    lbl_Author = Link(authorLeft, 128, about_text::ClickHere, kSupportMail, S::lsMailTo, shell);
    Label1 = Label(8, 144, about_text::Website, shell, LabelFont());
    const int webLeft = std::max<int>(128, Label1->BoundsRect().right);
    vxLinkLabel =
        Link(webLeft, 144, about_text::ClickHere, kPublisherWebPage, S::lsInternetLink, shell);
    lbl_Icons_1 = Label(16, 176, about_text::Icons1, shell, LabelFont());
    lnk_Silk = Link(336, 176, about_text::SilkLink, kSilkIconsPage, S::lsInternetLink, shell);
    lbl_Icons_2 = Label(16, 192, about_text::Icons2, shell, LabelFont());
    lnk_Tango = Link(336, 192, about_text::TangoLink, kTangoIconsPage, S::lsInternetLink, shell);
    lbl_Free = Label(16, 232, about_text::Free, shell, BoldNavyFont());

    Memo1 = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", about_text::Disclaimer,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL,
                            16, 256, 497, 73, Panel_Client.Handle(), nullptr, self, nullptr);
    const int labelPixels = FontPixels(LabelFont(), kAboutLayoutPixelsPerInch);
    SendMessageA(Memo1, WM_SETFONT, WPARAM(memoFont_.Get(LabelFont(), labelPixels)), FALSE);
    GIFAnimator_1 = std::make_unique<TGifAnimator>(Panel_Client.Handle(), 16, 352, 114, 41, module,
                                                   IDR_ABOUT_GIF);
    btn_Close =
        CreateWindowExA(0, "BUTTON", about_text::Ok,
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_FLAT, 424, 360,
                        89, 25, Panel_Client.Handle(), HMENU(INT_PTR(IDOK)), self, nullptr);
    SendMessageA(btn_Close, WM_SETFONT, WPARAM(buttonFont_.Get(LabelFont(), labelPixels)), FALSE);
}

// Where the title's font is a substitute that runs wider than the one the box
// was drawn with, the title and the version under it get smaller until the
// title fits its panel.
void Tfrm_About::FitTitle() {
    const int right = kAboutClientWidth - kLeftPanelWidth - 8; // the left margin, mirrored
    int ppi = kAboutLayoutPixelsPerInch;
    while (lbl_CMP->BoundsRect().right > right && ppi > kAboutLayoutPixelsPerInch / 2)
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
    if (icon_) DrawIconEx(dc, (kLeftPanelWidth - 48) / 2, 16, icon_, 48, 48, 0, nullptr, DI_NORMAL);
}

void Tfrm_About::PaintClientPanel(HDC dc) {
    RECT r;
    GetClientRect(Panel_Client.Handle(), &r);
    FillRect(dc, &r, whiteBrush_);
    // Bevel3 (acknowledgement), Bevel2 (notice and disclaimer), Bevel1 (animation, button).
    const RECT bevels[] = {
        {8, 170, 8 + 513, 170 + 39}, {8, 218, 8 + 513, 218 + 111}, {8, 344, 8 + 513, 344 + 50}};
    for (RECT b : bevels)
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
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(panel.Handle(), &ps);
        if (left)
            PaintLeftPanel(dc);
        else
            PaintClientPanel(dc);
        EndPaint(panel.Handle(), &ps);
        return 0;
    }
    }
    return panel.Default(msg, wParam, lParam);
}

} // namespace vx
