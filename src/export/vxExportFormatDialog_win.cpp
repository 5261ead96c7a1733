// The format dialog of Execute: the output type, view or file, whether only
// the rows the list shows are exported, and the type's picture. Choices reach the component as they
// are made, so they also stay when the dialog is cancelled.
#include "export/vxExportUI_win.h"

#include "export/vxExport.h"
#include "export/vxExportWindows_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"
#include "platform/WindowHelpers_win.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vx {

namespace {

constexpr const char* kDialogClass = "TvxExportDialog";
constexpr int kDialogWidth = 330, kDialogHeight = 150;
constexpr int kButtonWidth = 75, kButtonHeight = 25;
constexpr int kRadioWidth = 113, kRadioHeight = 17;
constexpr int kImageSize = 50;
// The group box's place; the controls in it are placed relative to it.
constexpr int kGroupLeft = 8, kGroupTop = 8;

uint8_t Blend(uint32_t colour, uint32_t face, unsigned alpha) {
    return uint8_t((colour * alpha + face * (255 - alpha)) / 255);
}

// A 32-bit top-down copy of a bitmap's pixels (0xAARRGGBB), or empty.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int& width, int& height) {
    DIBSECTION dib{};
    const int got = GetObjectA(bitmap, sizeof dib, &dib);
    if (!got) return {};
    width = dib.dsBm.bmWidth;
    height = dib.dsBm.bmHeight;
    std::vector<uint32_t> px(size_t(width) * size_t(height));
    if (got == int(sizeof dib) && dib.dsBm.bmBitsPixel == 32 && dib.dsBm.bmBits) {
        // Read directly: a conversion might not keep the alpha byte.
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        for (int y = 0; y < height; ++y) {
            const auto* row = static_cast<const uint8_t*>(dib.dsBm.bmBits) +
                              size_t(bottomUp ? height - 1 - y : y) * dib.dsBm.bmWidthBytes;
            std::memcpy(&px[size_t(y) * width], row, size_t(width) * 4);
        }
        return px;
    }
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const int lines = GetDIBits(ui::ScopedGetDC(nullptr), bitmap, 0, UINT(height), px.data(), &bi,
                                DIB_RGB_COLORS);
    if (lines != height) px.clear();
    return px;
}

// A type's picture laid on the dialog's face colour. Its alpha says what
// shows through; a picture without alpha is transparent where it has the
// colour of its bottom-left pixel.
HBITMAP LoadTypeBitmap(HINSTANCE module, TvxExportType type, COLORREF face) {
    ui::ScopedBitmap source(static_cast<HBITMAP>(
        LoadImageA(module, ExportTypeBitmapName(type), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!source) return nullptr;
    int width = 0, height = 0;
    std::vector<uint32_t> px = Pixels(source, width, height);
    source.Reset();
    if (px.empty()) return nullptr;

    bool hasAlpha = false;
    for (uint32_t p : px)
        hasAlpha = hasAlpha || (p >> 24) != 0;
    const uint32_t key = px[size_t(height - 1) * width] & 0xFFFFFF;
    for (uint32_t& p : px) {
        const unsigned alpha = hasAlpha ? p >> 24 : ((p & 0xFFFFFF) == key ? 0 : 255);
        const uint8_t b = Blend(p & 0xFF, GetBValue(face), alpha);
        const uint8_t g = Blend((p >> 8) & 0xFF, GetGValue(face), alpha);
        const uint8_t r = Blend((p >> 16) & 0xFF, GetRValue(face), alpha);
        p = uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
    }
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP result = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (result) std::memcpy(bits, px.data(), px.size() * 4);
    return result;
}

class TFormatDialog {
  public:
    TFormatDialog(HWND owner, HINSTANCE module, TvxCustomExport& exporter);
    ~TFormatDialog();
    TFormatDialog(const TFormatDialog&) = delete;
    TFormatDialog& operator=(const TFormatDialog&) = delete;

    HWND Handle() const { return window_.Handle(); }
    // Runs the dialog; true for Export.
    bool ShowModal();

  private:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    HWND AddControl(const char* className, const std::string& text, DWORD style, int id, int left,
                    int top, int width, int height);
    void CreateControls();
    void FillFormatList();
    // The one change handler of the list and both radio buttons.
    void Changed(int tag);
    void DrawImage(const DRAWITEMSTRUCT& item);

    TvxCustomExport& exporter_;
    HWND owner_;
    HINSTANCE module_;
    ui::ScopedFont font_; // the controls' font away from the system's pixels per inch
    ui::TOwnedWindow window_;
    HWND cmb_Formats = nullptr, rbn_ViewOnly = nullptr, rbn_ExportToFile = nullptr,
         chk_VisibleRowsOnly = nullptr, img_Type = nullptr;
    std::array<ui::ScopedBitmap, kExportTypeCount> bitmaps_;
    TvxExportType imageType_ = xtHTML;
    bool hasImage_ = false;
    bool closed_ = false, confirmed_ = false;
};

TFormatDialog::TFormatDialog(HWND owner, HINSTANCE module, TvxCustomExport& exporter)
    : exporter_(exporter), owner_(owner), module_(module) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    const POINT at = export_ui::CentredOnScreen(kDialogWidth, kDialogHeight);
    ui::TCreateParams params;
    params.Class.Name = kDialogClass;
    params.Class.Style = 0;
    params.Class.Background = GetSysColorBrush(COLOR_BTNFACE);
    params.Style = style;
    params.ExStyle = exStyle;
    params.Text = exporter.Messages.Caption.c_str();
    params.Left = at.x;
    params.Top = at.y;
    params.Width = kDialogWidth;
    params.Height = kDialogHeight;
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return WndProc(msg, wParam, lParam);
    };
    if (!window_.Create(params, typeid(*this))) return;
    CreateControls();
    font_ = ui::ScaleDialog(Handle(), ui::WindowDpi(owner));
    FillFormatList();
    Changed(kFormatListId);
}

TFormatDialog::~TFormatDialog() {
    window_.Destroy();
}

HWND TFormatDialog::AddControl(const char* className, const std::string& text, DWORD style, int id,
                               int left, int top, int width, int height) {
    HWND h =
        CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width,
                        height, Handle(), HMENU(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
    export_ui::SetGuiFont(h);
    return h;
}

void TFormatDialog::CreateControls() {
    const TvxMessagesOptions& m = exporter_.Messages;
    // Tab order follows creation: the list, the radio buttons, the check box,
    // then the buttons.
    AddControl("BUTTON", " " + m.SelectFormat + " ", BS_GROUPBOX | WS_GROUP, kFormatGroupId,
               kGroupLeft, kGroupTop, 225, 118);
    cmb_Formats = AddControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                             kFormatListId, kGroupLeft + 8, kGroupTop + 24, 209, 200);
    rbn_ViewOnly =
        AddControl("BUTTON", m.ViewOnly, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, kViewOnlyId,
                   kGroupLeft + 8, kGroupTop + 60, kRadioWidth, kRadioHeight);
    rbn_ExportToFile = AddControl("BUTTON", m.ExportToFile, BS_AUTORADIOBUTTON, kExportToFileId,
                                  kGroupLeft + 8, kGroupTop + 80, kRadioWidth, kRadioHeight);
    // Under the radio buttons, clear of the picture; the dialog keeps its size.
    chk_VisibleRowsOnly =
        AddControl("BUTTON", m.VisibleRowsOnly, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                   kVisibleRowsOnlyId, kGroupLeft + 8, kGroupTop + 98, 160, kRadioHeight);
    // On the form, over the group box, beside the radio buttons.
    img_Type = AddControl("STATIC", "", SS_OWNERDRAW | WS_GROUP, kTypeImageId, 180, 70, kImageSize,
                          kImageSize);
    AddControl("BUTTON", m.ExportCaption, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 240, 8,
               kButtonWidth, kButtonHeight);
    AddControl("BUTTON", m.CancelCaption, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL, 240, 40,
               kButtonWidth, kButtonHeight);
    SendMessageA(exporter_.ExportStyle == xsView ? rbn_ViewOnly : rbn_ExportToFile, BM_SETCHECK,
                 BST_CHECKED, 0);
    SendMessageA(chk_VisibleRowsOnly, BM_SETCHECK,
                 exporter_.Options.Has(xoVisibleRowsOnly) ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TFormatDialog::FillFormatList() {
    TvxExportTypeSet types = exporter_.ExportTypes();
    if (!types.Has(exporter_.ExportType())) {
        types.Include(exporter_.ExportType());
        exporter_.SetExportTypes(types);
    }
    int count = 0;
    for (TvxExportType t : kExportTypeDisplayOrder) {
        if (!types.Has(t)) continue;
        ++count;
        const int item =
            int(SendMessageA(cmb_Formats, CB_ADDSTRING, 0, LPARAM(ExportTypeDisplayName(t))));
        if (t == exporter_.ExportType()) SendMessageA(cmb_Formats, CB_SETCURSEL, WPARAM(item), 0);
    }
    // The drop-down shows every item without a scroll bar.
    const int itemHeight = int(SendMessageA(cmb_Formats, CB_GETITEMHEIGHT, 0, 0));
    RECT closed;
    GetWindowRect(cmb_Formats, &closed);
    SetWindowPos(cmb_Formats, nullptr, 0, 0, closed.right - closed.left,
                 (closed.bottom - closed.top) + count * itemHeight + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(cmb_Formats, CB_SETMINVISIBLE, WPARAM(count), 0);
}

void TFormatDialog::Changed(int tag) {
    switch (tag) {
    case kViewOnlyId:
        exporter_.ExportStyle = xsView;
        break;
    case kExportToFileId:
        exporter_.ExportStyle = xsFile;
        break;
    case kVisibleRowsOnlyId:
        if (SendMessageA(chk_VisibleRowsOnly, BM_GETCHECK, 0, 0) == BST_CHECKED)
            exporter_.Options.Include(xoVisibleRowsOnly);
        else
            exporter_.Options.Exclude(xoVisibleRowsOnly);
        break;
    case kFormatListId: {
        const int item = int(SendMessageA(cmb_Formats, CB_GETCURSEL, 0, 0));
        std::string text;
        if (item >= 0) {
            std::vector<char> buf(
                size_t(SendMessageA(cmb_Formats, CB_GETLBTEXTLEN, WPARAM(item), 0)) + 1, '\0');
            SendMessageA(cmb_Formats, CB_GETLBTEXT, WPARAM(item), LPARAM(buf.data()));
            text = buf.data();
        }
        const bool toClipboard = text == ExportTypeDisplayName(xtClipboard);
        EnableWindow(rbn_ViewOnly, !toClipboard);
        EnableWindow(rbn_ExportToFile, !toClipboard);
        for (TvxExportType t : kExportTypeDisplayOrder) {
            if (text != ExportTypeDisplayName(t)) continue;
            exporter_.SetExportType(t);
            imageType_ = t;
            hasImage_ = true;
            InvalidateRect(img_Type, nullptr, FALSE);
            break;
        }
        break;
    }
    }
}

void TFormatDialog::DrawImage(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (!hasImage_) return;
    ui::ScopedBitmap& bitmap = bitmaps_[imageType_];
    if (!bitmap) bitmap.Reset(LoadTypeBitmap(module_, imageType_, GetSysColor(COLOR_BTNFACE)));
    if (!bitmap) return;
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    ui::ScopedMemDC mem(item.hDC);
    ui::ScopedSelectObject select(mem, bitmap);
    // The picture grows with the box, which grows with the pixels per inch.
    const int boxWidth = item.rcItem.right - item.rcItem.left;
    const int w = MulDiv(bm.bmWidth, boxWidth, kImageSize),
              h = MulDiv(bm.bmHeight, boxWidth, kImageSize);
    if (w == bm.bmWidth && h == bm.bmHeight) {
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, bm.bmWidth, bm.bmHeight, mem, 0, 0,
               SRCCOPY);
    } else {
        SetStretchBltMode(item.hDC, HALFTONE);
        StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, w, h, mem, 0, 0, bm.bmWidth,
                   bm.bmHeight, SRCCOPY);
    }
}

bool TFormatDialog::ShowModal() {
    if (!Handle()) return false;
    HWND focus = GetFocus();
    // Like any modal form, the dialog disables the program's other windows.
    RunModalLoop(Handle(), owner_, cmb_Formats, [this] { return closed_; });
    window_.Destroy();
    if (focus && IsWindow(focus)) SetFocus(focus);
    return confirmed_;
}

LRESULT TFormatDialog::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        // Enter and Escape arrive as IDOK and IDCANCEL through IsDialogMessage.
        if (id == IDOK || id == IDCANCEL) {
            confirmed_ = id == IDOK;
            closed_ = true;
        } else if ((id == kViewOnlyId || id == kExportToFileId || id == kVisibleRowsOnlyId) &&
                   code == BN_CLICKED) {
            Changed(id);
        } else if (id == kFormatListId && code == CBN_SELCHANGE) {
            Changed(id);
        }
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != UINT(kTypeImageId)) break;
        DrawImage(*item);
        return TRUE;
    }
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_NEXTDLGCTL:
        // The group box's accelerator: the dialog manager asks the window to
        // move the focus on, as a dialog's own procedure would.
        NextDialogControl(Handle(), wParam, lParam);
        return 0;
    case WM_CLOSE:
        closed_ = true;
        return 0;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace

bool TvxExportUIWin::SelectFormat(TvxCustomExport& exporter) {
    TFormatDialog dialog(owner_, module_, exporter);
    dialog_ = dialog.Handle();
    const bool confirmed = dialog.ShowModal();
    dialog_ = nullptr;
    return confirmed;
}

} // namespace vx
