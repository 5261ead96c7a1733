// The rule dialog: the rules in a list view with check boxes (the enabled
// ones checked), the buttons that add, delete and move them, and under the
// list the editors of the selected rule. Every change goes to a copy of the
// rules at once; the caller's list changes only on OK.
//
// Its layout is measured in dialog units of the system's message font, and
// labels and buttons are as wide as their texts need, so nothing is cut at
// any font size or DPI.
#include "find/RuleDialog_win.h"

#include "platform/WindowHelpers_win.h"
#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"
#include "ui/Window_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <initializer_list>

namespace vx {

namespace {

constexpr const char* kDialogClass = "TRuleDialog";

const char* const kFieldNames[kRowFieldCount] = {"Message",   "Unit",  "Procedure",
                                                 "Data text", "Group", "Kind"};
const char* const kMatchNames[4] = {"Contains", "Equals", "Starts with", "Regular expression"};
const char* const kActionNames[4] = {"Include", "Exclude", "Highlight", "Bookmark"};

std::string WithoutAccelerator(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

std::string MatchText(const TFindRule& r) {
    std::string s = RuleMatchName(r.Match);
    return r.MatchCase ? s + ", case" : s;
}

// The message font of the system at the owner's pixels per inch, the dialog
// units it gives, and the system's sizes scaled to those pixels per inch.
struct TMetrics {
    ui::ScopedFont Font;
    int BaseX = 6, BaseY = 13;
    UINT Dpi = 96;

    explicit TMetrics(UINT dpi) : Dpi(dpi) {
        Font.Reset(ui::CreateMessageFont(dpi));
        ui::ScopedGetDC dc(nullptr);
        ui::ScopedSelectObject select(dc, Font ? HGDIOBJ(Font.Get())
                                               : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SIZE size{};
        const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        GetTextExtentPoint32A(dc, letters, 52, &size);
        BaseX = std::max(1, int((size.cx / 26 + 1) / 2));
        BaseY = std::max(1, int(tm.tmHeight));
    }
    HFONT Handle() const { return Font ? Font.Get() : HFONT(GetStockObject(DEFAULT_GUI_FONT)); }
    int X(int units) const { return MulDiv(units, BaseX, 4); }
    int System(int index) const {
        return ui::Rescale(GetSystemMetrics(index), ui::SystemDpi(), Dpi);
    }
    int Y(int units) const { return MulDiv(units, BaseY, 8); }
    int TextWidth(const std::string& text) const {
        ui::ScopedGetDC dc(nullptr);
        ui::ScopedSelectObject select(dc, Handle());
        const std::string plain = WithoutAccelerator(text);
        SIZE size{};
        GetTextExtentPoint32A(dc, plain.c_str(), int(plain.size()), &size);
        return size.cx;
    }
    int WidestText(std::initializer_list<const char*> texts) const {
        int w = 0;
        for (const char* t : texts)
            w = std::max(w, TextWidth(t));
        return w;
    }
};

class TRuleForm {
  public:
    TRuleForm(HWND owner, const std::string& caption, const std::vector<TFindRule>& rules,
              std::function<bool(HWND, TColor&)> chooseColour);
    ~TRuleForm() { window_.Destroy(); }
    TRuleForm(const TRuleForm&) = delete;
    TRuleForm& operator=(const TRuleForm&) = delete;

    HWND Handle() const { return window_.Handle(); }
    bool ShowModal();
    const std::vector<TFindRule>& Rules() const { return rules_; }

  private:
    HWND Add(const char* className, const std::string& text, DWORD style, int id, int left, int top,
             int width, int height, DWORD exStyle = 0);
    void CreateControls();
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT ListProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void Command(int id, int code);
    bool Notify(const NMHDR& header, LRESULT& result);

    // The list and the rules.
    void FillList();
    void SetRow(int index);
    void Select(int index);
    int Selected() const;
    void AddRule();
    void DeleteRule();
    void MoveRule(int by);
    void SetEnabled(int index, bool enabled);
    // The editors show the selected rule; their changes go to it.
    void LoadEditors();
    void EditorChanged(int id);
    void PickColour(bool text);
    void UpdateButtons();
    // Checks every rule; shows what is wrong, or clears it.
    bool Validate(bool selectBad);
    void Confirm();

    HWND owner_;
    std::vector<TFindRule> rules_;
    std::function<bool(HWND, TColor&)> chooseColour_;
    TMetrics metrics_;
    ui::TOwnedWindow window_;
    ui::TOwnedWindow list_;
    ui::ScopedBrush sampleBrush_;
    HWND btn_Add = nullptr, btn_Delete = nullptr, btn_Up = nullptr, btn_Down = nullptr;
    HWND cmb_Field = nullptr, cmb_Match = nullptr, cmb_Action = nullptr;
    HWND Edit_Pattern = nullptr, chk_Case = nullptr;
    HWND btn_TextColour = nullptr, btn_BackColour = nullptr, lbl_Sample = nullptr,
         lbl_Error = nullptr;
    std::vector<HWND> editors_; // enabled only while a rule is selected
    int current_ = -1;          // the rule the editors show
    bool loading_ = false;      // the dialog itself is setting controls
    bool checked_ = false;      // OK was tried: problems are shown as they change
    bool closed_ = false, confirmed_ = false;
};

TRuleForm::TRuleForm(HWND owner, const std::string& caption, const std::vector<TFindRule>& rules,
                     std::function<bool(HWND, TColor&)> chooseColour)
    : owner_(owner), rules_(rules), chooseColour_(std::move(chooseColour)),
      metrics_(ui::WindowDpi(owner)) {
    ui::TCreateParams params;
    params.Class.Name = kDialogClass;
    params.Class.Style = 0;
    params.Class.Background = GetSysColorBrush(COLOR_BTNFACE);
    params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
    params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const std::string title = caption.empty() ? "Rules" : "Rules - " + caption;
    params.Text = title.c_str();
    params.ParentHandle = owner;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return WndProc(msg, wParam, lParam);
    };
    if (!window_.Create(params, typeid(*this))) return;
    CreateControls();
    FillList();
    Select(rules_.empty() ? -1 : 0);
}

HWND TRuleForm::Add(const char* className, const std::string& text, DWORD style, int id, int left,
                    int top, int width, int height, DWORD exStyle) {
    HWND h = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, left,
                             top, width, height, Handle(), HMENU(INT_PTR(id)),
                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(h, WM_SETFONT, WPARAM(metrics_.Handle()), FALSE);
    return h;
}

void TRuleForm::CreateControls() {
    const TMetrics& m = metrics_;
    // Heights and spaces in dialog units, as the usual Windows layout has them.
    const int margin = m.X(7), gap = m.X(4), rowGap = m.Y(4);
    const int buttonHeight = m.Y(14), comboHeight = m.Y(12) + 2, labelHeight = m.Y(8);
    const int pad = m.X(8); // a button's text from its edges
    const int sideWidth =
        std::max(m.X(50), pad + m.WidestText({"&Add", "&Delete", "Move &Up", "Move Do&wn"}));
    const int colourWidth =
        std::max(m.X(50), pad + m.WidestText({"Te&xt colour...", "&Back colour..."}));
    const int okWidth = std::max(m.X(50), pad + m.WidestText({"OK", "Cancel"}));
    const int labelWidth = m.WidestText({"&Field:", "&Pattern:", "Ac&tion:"}) + m.X(4);
    const int arrow = m.System(SM_CXVSCROLL) + m.X(6);
    const int fieldWidth =
        m.WidestText({"Message", "Unit", "Procedure", "Data text", "Group", "Kind"}) + arrow;
    const int matchWidth =
        m.WidestText({"Contains", "Equals", "Starts with", "Regular expression"}) + arrow;
    const int actionWidth = m.WidestText({"Include", "Exclude", "Highlight", "Bookmark"}) + arrow;
    const int matchLabel = m.TextWidth("&Match:") + m.X(4);
    const int inner = m.X(7); // the group box's edges to its controls

    // The dialog is as wide as the editors' rows or the list's columns need.
    const int sampleWidth = std::max(m.X(40), m.TextWidth("Sample") + m.X(8));
    const int row1 = labelWidth + fieldWidth + m.X(10) + matchLabel + matchWidth;
    const int row3 = labelWidth + actionWidth + m.X(10) + 2 * colourWidth + 2 * gap + sampleWidth;
    // The list's columns fit their longest names, with room for a pattern.
    const int check = m.System(SM_CXSMICON) + m.X(4);
    const int fieldColumn = check + fieldWidth - arrow + m.X(6);
    const int matchColumn = m.TextWidth("Regular expression, case") + m.X(6);
    const int actionColumn = actionWidth - arrow + m.X(6);
    const int listFrame = m.System(SM_CXVSCROLL) + 4 * m.System(SM_CXEDGE);
    const int listNeeds = fieldColumn + matchColumn + actionColumn + m.X(70) + listFrame;
    const int editorsNeed = std::max({row1, row3, m.X(220)}) + 2 * inner;
    const int contentWidth = std::max(editorsNeed, listNeeds + gap + sideWidth);
    const int groupWidth = contentWidth;
    const int editorsWidth = groupWidth - 2 * inner;
    const int listWidth = contentWidth - gap - sideWidth;
    const int clientWidth = contentWidth + 2 * margin;

    // Tab order is creation order; each label comes just before its control,
    // so its accelerator focuses that control.
    int y = margin;
    Add("STATIC", "&Rules:", SS_LEFT, -1, margin, y, listWidth, labelHeight);
    y += labelHeight + m.Y(2);
    const int listTop = y, listHeight = m.Y(100);
    ui::TCreateParams lp;
    lp.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL |
               LVS_SHOWSELALWAYS;
    lp.ExStyle = WS_EX_CLIENTEDGE;
    lp.Left = margin;
    lp.Top = listTop;
    lp.Width = listWidth;
    lp.Height = listHeight;
    lp.ParentHandle = Handle();
    lp.Id = kRuleListId;
    list_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return ListProc(msg, wParam, lParam);
    };
    list_.CreateControl(WC_LISTVIEWA, lp, typeid(*this));
    HWND list = list_.Handle();
    SendMessageA(list, WM_SETFONT, WPARAM(m.Handle()), FALSE);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int patternColumn = listWidth - fieldColumn - matchColumn - actionColumn - listFrame;
    struct {
        const char* Text;
        int Width;
    } const columns[] = {{"Field", fieldColumn},
                         {"Match", matchColumn},
                         {"Pattern", patternColumn},
                         {"Action", actionColumn}};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<char*>(columns[i].Text);
        c.cx = columns[i].Width;
        c.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&c));
    }

    int side = listTop;
    const int sideLeft = margin + listWidth + gap;
    btn_Add = Add("BUTTON", "&Add", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kRuleAddId, sideLeft,
                  side, sideWidth, buttonHeight);
    side += buttonHeight + m.Y(3);
    btn_Delete = Add("BUTTON", "&Delete", BS_PUSHBUTTON | WS_TABSTOP, kRuleDeleteId, sideLeft, side,
                     sideWidth, buttonHeight);
    side += buttonHeight + m.Y(9);
    btn_Up = Add("BUTTON", "Move &Up", BS_PUSHBUTTON | WS_TABSTOP, kRuleUpId, sideLeft, side,
                 sideWidth, buttonHeight);
    side += buttonHeight + m.Y(3);
    btn_Down = Add("BUTTON", "Move Do&wn", BS_PUSHBUTTON | WS_TABSTOP, kRuleDownId, sideLeft, side,
                   sideWidth, buttonHeight);
    y = std::max(listTop + listHeight, side + buttonHeight) + m.Y(7);

    // The selected rule.
    const int groupTop = y;
    const int groupLeft = margin;
    HWND group = Add("BUTTON", "Selected rule", BS_GROUPBOX, kRuleGroupId, groupLeft, groupTop,
                     groupWidth, 0);
    const int left = groupLeft + inner;
    const int labelOffset = (comboHeight - labelHeight) / 2;
    y = groupTop + m.Y(12);
    auto label = [&](const char* text, int x, int width) {
        editors_.push_back(
            Add("STATIC", text, SS_LEFT, -1, x, y + labelOffset, width, labelHeight));
    };
    auto combo = [&](int id, int x, int width, const char* const* items, int count) {
        HWND h = Add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, id, x,
                     y, width, comboHeight + m.Y(8) * (count + 1));
        for (int i = 0; i < count; ++i)
            SendMessageA(h, CB_ADDSTRING, 0, LPARAM(items[i]));
        editors_.push_back(h);
        return h;
    };
    label("&Field:", left, labelWidth);
    cmb_Field = combo(kRuleFieldId, left + labelWidth, fieldWidth, kFieldNames, kRowFieldCount);
    const int matchLeft = left + labelWidth + fieldWidth + m.X(10);
    label("&Match:", matchLeft, matchLabel);
    cmb_Match = combo(kRuleMatchId, matchLeft + matchLabel, matchWidth, kMatchNames, 4);
    y += comboHeight + rowGap;
    label("&Pattern:", left, labelWidth);
    Edit_Pattern =
        Add("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, kRulePatternId, left + labelWidth,
            y, editorsWidth - labelWidth, comboHeight, WS_EX_CLIENTEDGE);
    SendMessageA(Edit_Pattern, EM_LIMITTEXT, TTextMatcher::kMaxPattern, 0);
    editors_.push_back(Edit_Pattern);
    y += comboHeight + m.Y(2);
    chk_Case =
        Add("BUTTON", "Match &case", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kRuleCaseId,
            left + labelWidth, y, std::max(m.X(60), m.TextWidth("Match &case") + m.X(16)), m.Y(10));
    editors_.push_back(chk_Case);
    y += m.Y(10) + rowGap;
    label("Ac&tion:", left, labelWidth);
    cmb_Action = combo(kRuleActionId, left + labelWidth, actionWidth, kActionNames, 4);
    int x = left + labelWidth + actionWidth + m.X(10);
    const int colourTop = y + (comboHeight - buttonHeight) / 2;
    btn_TextColour = Add("BUTTON", "Te&xt colour...", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                         kRuleTextColourId, x, colourTop, colourWidth, buttonHeight);
    x += colourWidth + gap;
    btn_BackColour = Add("BUTTON", "&Back colour...", BS_PUSHBUTTON | WS_TABSTOP, kRuleBackColourId,
                         x, colourTop, colourWidth, buttonHeight);
    x += colourWidth + gap;
    lbl_Sample = Add("STATIC", "Sample", SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN, kRuleSampleId, x,
                     colourTop, sampleWidth, buttonHeight);
    y = std::max(y + comboHeight, colourTop + buttonHeight) + m.Y(7);
    SetWindowPos(group, nullptr, 0, 0, groupWidth, y - groupTop,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // What is wrong, beside OK and Cancel.
    y += m.Y(7);
    const int okLeft = margin + contentWidth - 2 * okWidth - gap;
    lbl_Error = Add("STATIC", "", SS_LEFT | SS_NOPREFIX, kRuleErrorId, margin, y,
                    okLeft - margin - gap, 2 * labelHeight + 2);
    Add("BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, okLeft, y, okWidth,
        buttonHeight);
    Add("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, okLeft + okWidth + gap, y,
        okWidth, buttonHeight);
    const int clientHeight = y + std::max(buttonHeight, 2 * labelHeight + 2) + margin;

    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, DWORD(GetWindowLongA(Handle(), GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(Handle(), GWL_EXSTYLE)));
    const int width = r.right - r.left, height = r.bottom - r.top;
    // Centred on the owner, or on the screen without one; never off the screen.
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT centre = area;
    if (owner_ && IsWindowVisible(owner_)) GetWindowRect(owner_, &centre);
    int left0 = (centre.left + centre.right - width) / 2,
        top0 = (centre.top + centre.bottom - height) / 2;
    left0 = std::max(0, std::min(left0, int(area.right) - width));
    top0 = std::max(0, std::min(top0, int(area.bottom) - height));
    SetWindowPos(Handle(), nullptr, left0, top0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- The list ----

void TRuleForm::FillList() {
    loading_ = true;
    HWND list = list_.Handle();
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < int(rules_.size()); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("");
        SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item));
        SetRow(i);
    }
    loading_ = false;
    UpdateButtons();
}

void TRuleForm::SetRow(int index) {
    const TFindRule& r = rules_[size_t(index)];
    HWND list = list_.Handle();
    const bool was = loading_;
    loading_ = true;
    const std::string texts[4] = {RuleFieldName(r.Field), MatchText(r), r.Pattern,
                                  RuleActionName(r.Action)};
    for (int c = 0; c < 4; ++c) {
        LVITEMA item{};
        item.iSubItem = c;
        item.pszText = const_cast<char*>(texts[c].c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(index), LPARAM(&item));
    }
    LVITEMA state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(r.Enabled ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&state));
    loading_ = was;
}

int TRuleForm::Selected() const {
    return int(SendMessageA(list_.Handle(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void TRuleForm::Select(int index) {
    HWND list = list_.Handle();
    if (index >= 0) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&state));
        SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(index), FALSE);
    }
    current_ = index;
    LoadEditors();
}

void TRuleForm::AddRule() {
    if (rules_.size() >= TRuleSet::kMaxRules) return;
    TFindRule rule;
    const int at = current_ < 0 ? int(rules_.size()) : current_ + 1;
    rules_.insert(rules_.begin() + at, rule);
    FillList();
    Select(at);
    // The new rule has no pattern yet: that is what the user types next.
    SetFocus(Edit_Pattern);
}

void TRuleForm::DeleteRule() {
    if (current_ < 0) return;
    const int at = current_;
    rules_.erase(rules_.begin() + at);
    FillList();
    Select(rules_.empty() ? -1 : std::min(at, int(rules_.size()) - 1));
    if (checked_) Validate(false);
}

void TRuleForm::MoveRule(int by) {
    const int from = current_, to = current_ + by;
    if (from < 0 || to < 0 || to >= int(rules_.size())) return;
    std::swap(rules_[size_t(from)], rules_[size_t(to)]);
    SetRow(from);
    SetRow(to);
    Select(to);
    if (checked_) Validate(false);
}

void TRuleForm::SetEnabled(int index, bool enabled) {
    if (index < 0 || index >= int(rules_.size())) return;
    rules_[size_t(index)].Enabled = enabled;
    SetRow(index);
}

void TRuleForm::UpdateButtons() {
    const HWND focus = GetFocus();
    const int n = int(rules_.size());
    EnableWindow(btn_Add, n < int(TRuleSet::kMaxRules));
    EnableWindow(btn_Delete, current_ >= 0);
    EnableWindow(btn_Up, current_ > 0);
    EnableWindow(btn_Down, current_ >= 0 && current_ + 1 < n);
    const bool rule = current_ >= 0;
    for (HWND h : editors_)
        EnableWindow(h, rule);
    const bool highlight = rule && rules_[size_t(current_)].Action == raHighlight;
    EnableWindow(btn_TextColour, highlight);
    EnableWindow(btn_BackColour, highlight);
    EnableWindow(lbl_Sample, highlight);
    InvalidateRect(lbl_Sample, nullptr, TRUE);
    // A control that was just disabled has lost the keyboard: the list takes it.
    if (focus && IsChild(Handle(), focus) && !IsWindowEnabled(focus)) SetFocus(list_.Handle());
}

// ---- The editors ----

void TRuleForm::LoadEditors() {
    loading_ = true;
    const bool rule = current_ >= 0;
    const TFindRule r = rule ? rules_[size_t(current_)] : TFindRule{};
    SendMessageA(cmb_Field, CB_SETCURSEL, rule ? WPARAM(r.Field) : WPARAM(-1), 0);
    SendMessageA(cmb_Match, CB_SETCURSEL, rule ? WPARAM(r.Match) : WPARAM(-1), 0);
    SendMessageA(cmb_Action, CB_SETCURSEL, rule ? WPARAM(r.Action) : WPARAM(-1), 0);
    SetWindowTextA(Edit_Pattern, rule ? r.Pattern.c_str() : "");
    SendMessageA(chk_Case, BM_SETCHECK, rule && r.MatchCase ? BST_CHECKED : BST_UNCHECKED, 0);
    loading_ = false;
    UpdateButtons();
}

void TRuleForm::EditorChanged(int id) {
    if (loading_ || current_ < 0) return;
    TFindRule& r = rules_[size_t(current_)];
    auto selection = [](HWND combo) { return int(SendMessageA(combo, CB_GETCURSEL, 0, 0)); };
    switch (id) {
    case kRuleFieldId:
        if (selection(cmb_Field) >= 0) r.Field = TRowField(selection(cmb_Field));
        break;
    case kRuleMatchId:
        if (selection(cmb_Match) >= 0) r.Match = TMatchKind(selection(cmb_Match));
        break;
    case kRuleActionId:
        if (selection(cmb_Action) >= 0) r.Action = TRuleAction(selection(cmb_Action));
        break;
    case kRulePatternId: {
        std::string text(size_t(GetWindowTextLengthA(Edit_Pattern)) + 1, '\0');
        text.resize(size_t(GetWindowTextA(Edit_Pattern, text.data(), int(text.size()))));
        r.Pattern = std::move(text);
        break;
    }
    case kRuleCaseId:
        r.MatchCase = SendMessageA(chk_Case, BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
    }
    SetRow(current_);
    UpdateButtons();
    if (checked_) Validate(false);
}

void TRuleForm::PickColour(bool text) {
    if (current_ < 0 || !chooseColour_) return;
    TFindRule& r = rules_[size_t(current_)];
    TColor colour = text ? r.TextColor : r.BackColor;
    if (!chooseColour_(Handle(), colour)) return;
    (text ? r.TextColor : r.BackColor) = colour;
    InvalidateRect(lbl_Sample, nullptr, TRUE);
    InvalidateRect(list_.Handle(), nullptr, FALSE);
}

// ---- Checking and closing ----

bool TRuleForm::Validate(bool selectBad) {
    TRuleSet check;
    std::string error;
    const bool ok = check.Assign(rules_, error);
    SetWindowTextA(lbl_Error, ok ? "" : error.c_str());
    if (!ok && selectBad) {
        for (size_t i = 0; i < rules_.size(); ++i)
            if (!RuleProblem(rules_[i]).empty()) {
                Select(int(i));
                SetFocus(Edit_Pattern);
                SendMessageA(Edit_Pattern, EM_SETSEL, 0, -1);
                break;
            }
    }
    return ok;
}

void TRuleForm::Confirm() {
    checked_ = true;
    if (!Validate(true)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    confirmed_ = true;
    closed_ = true;
}

bool TRuleForm::ShowModal() {
    if (!Handle()) return false;
    HWND focus = GetFocus();
    RunModalLoop(Handle(), owner_, list_.Handle(), [this] { return closed_; });
    window_.Destroy();
    if (focus && IsWindow(focus)) SetFocus(focus);
    return confirmed_;
}

// ---- Messages ----

void TRuleForm::Command(int id, int code) {
    switch (id) {
    case IDOK:
        Confirm();
        break;
    case IDCANCEL:
        closed_ = true;
        break;
    case kRuleAddId:
        if (code == BN_CLICKED) AddRule();
        break;
    case kRuleDeleteId:
        if (code == BN_CLICKED) DeleteRule();
        break;
    case kRuleUpId:
        if (code == BN_CLICKED) MoveRule(-1);
        break;
    case kRuleDownId:
        if (code == BN_CLICKED) MoveRule(+1);
        break;
    case kRuleFieldId:
    case kRuleMatchId:
    case kRuleActionId:
        if (code == CBN_SELCHANGE) EditorChanged(id);
        break;
    case kRulePatternId:
        if (code == EN_CHANGE) EditorChanged(id);
        break;
    case kRuleCaseId:
        if (code == BN_CLICKED) EditorChanged(id);
        break;
    case kRuleTextColourId:
    case kRuleBackColourId:
        if (code == BN_CLICKED) PickColour(id == kRuleTextColourId);
        break;
    }
}

bool TRuleForm::Notify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom != UINT_PTR(kRuleListId)) return false;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (loading_ || change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return true;
        const UINT was = change.uOldState & LVIS_STATEIMAGEMASK,
                   now = change.uNewState & LVIS_STATEIMAGEMASK;
        if (was != now && now != 0 && change.iItem < int(rules_.size()))
            rules_[size_t(change.iItem)].Enabled = now == INDEXTOSTATEIMAGEMASK(2);
        if ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) {
            const int selected = Selected();
            if (selected != current_) {
                current_ = selected;
                LoadEditors();
            }
        }
        return true;
    }
    if (header.code == NM_CUSTOMDRAW) {
        // Highlight rules show their colours in the list.
        auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const size_t i = size_t(draw.nmcd.dwItemSpec);
            if (i < rules_.size() && rules_[i].Action == raHighlight && rules_[i].Enabled) {
                draw.clrText = ui::ToColorRef(rules_[i].TextColor);
                draw.clrTextBk = ui::ToColorRef(rules_[i].BackColor);
            }
            result = CDRF_DODEFAULT;
            return true;
        }
    }
    return false;
}

LRESULT TRuleForm::ListProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool alt = msg == WM_SYSKEYDOWN;
    if ((msg == WM_KEYDOWN || alt) && !(GetKeyState(VK_CONTROL) & 0x8000)) {
        if (msg == WM_KEYDOWN && wParam == VK_DELETE) {
            DeleteRule();
            return 0;
        }
        // Space toggles here, so that it does the same in every list version.
        if (msg == WM_KEYDOWN && wParam == VK_SPACE) {
            if (current_ >= 0) SetEnabled(current_, !rules_[size_t(current_)].Enabled);
            return 0;
        }
        if (alt && (wParam == VK_UP || wParam == VK_DOWN)) {
            MoveRule(wParam == VK_UP ? -1 : +1);
            return 0;
        }
    }
    if (msg == WM_CHAR && wParam == ' ') return 0; // no incremental search for the space
    return list_.Default(msg, wParam, lParam);
}

LRESULT TRuleForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        // Enter and Escape arrive as IDOK and IDCANCEL through IsDialogMessage.
        Command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (Notify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
        break;
    }
    case WM_CTLCOLORSTATIC: {
        HWND control = reinterpret_cast<HWND>(lParam);
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (control == lbl_Error) {
            SetTextColor(dc, RGB(192, 0, 0));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
        }
        if (control == lbl_Sample && current_ >= 0 && IsWindowEnabled(lbl_Sample)) {
            const TFindRule& r = rules_[size_t(current_)];
            SetTextColor(dc, ui::ToColorRef(r.TextColor));
            SetBkColor(dc, ui::ToColorRef(r.BackColor));
            sampleBrush_.Reset(CreateSolidBrush(ui::ToColorRef(r.BackColor)));
            return LRESULT(sampleBrush_.Get());
        }
        break;
    }
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_NEXTDLGCTL:
        // The accelerator of a label: the dialog manager asks the window to
        // move the focus, which only a dialog's own procedure would do.
        NextDialogControl(Handle(), wParam, lParam);
        return 0;
    case WM_CLOSE:
        closed_ = true;
        return 0;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace

const char* RuleFieldName(TRowField field) {
    return field < kRowFieldCount ? kFieldNames[field] : "?";
}
const char* RuleMatchName(TMatchKind match) {
    return match <= mkRegularExpression ? kMatchNames[match] : "?";
}
const char* RuleActionName(TRuleAction action) {
    return action <= raBookmark ? kActionNames[action] : "?";
}

bool TRuleDialog::StandardColour(HWND parent, TColor& colour) {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = parent;
    cc.rgbResult = ui::ToColorRef(colour);
    cc.lpCustColors = custom_.data();
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&cc)) return false;
    colour = TColor(cc.rgbResult & 0xFFFFFF);
    return true;
}

bool TRuleDialog::EditRules(const std::string& caption, std::vector<TFindRule>& rules) {
    if (dialog_) return false; // already open: one edit at a time
    std::function<bool(HWND, TColor&)> choose = ChooseColour;
    if (!choose)
        choose = [this](HWND parent, TColor& colour) { return StandardColour(parent, colour); };
    TRuleForm form(owner_, caption, rules, choose);
    dialog_ = form.Handle();
    const bool confirmed = form.ShowModal();
    dialog_ = nullptr;
    if (confirmed) rules = form.Rules();
    return confirmed;
}

} // namespace vx
