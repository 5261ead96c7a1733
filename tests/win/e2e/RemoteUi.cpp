#include "RemoteUi.h"

#include <commctrl.h>

#include <algorithm>

namespace vxtest {

namespace {

constexpr UINT kTimeout = 5000; // for one message to another process

LRESULT Send(HWND w, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, msg, wParam, lParam, SMTO_ABORTIFHUNG, kTimeout, &result))
        return -1;
    return LRESULT(result);
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

} // namespace

std::string WindowText(HWND w) {
    LRESULT n = Send(w, WM_GETTEXTLENGTH);
    if (n <= 0) return {};
    std::vector<char> buf(size_t(n) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kTimeout, &copied))
        return {};
    return std::string(buf.data(), std::min<size_t>(copied, n));
}

std::string ClassOf(HWND w) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> all;
    EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> FindDescendants(HWND root, const char* cls, const char* text) {
    std::vector<HWND> found;
    for (HWND w : Descendants(root))
        if (lstrcmpiA(ClassOf(w).c_str(), cls) == 0 && (!text || WindowText(w) == text))
            found.push_back(w);
    return found;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    std::vector<HWND> all, mine;
    EnumWindows(CollectChild, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) mine.push_back(w);
    }
    return mine;
}

RECT ScreenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        int32_t left = int32_t(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    }
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        if (cond()) return true;
        if (int32_t(end - GetTickCount()) <= 0) return cond();
        PumpFor(40);
    }
}

std::vector<HWND> VisibleTopLevels(DWORD pid, const char* cls, const char* text) {
    std::vector<HWND> found;
    for (HWND w : TopLevelWindows(pid))
        if (IsWindowVisible(w) && ClassOf(w) == cls && (!text || WindowText(w) == text))
            found.push_back(w);
    return found;
}

std::vector<HWND> OpenPopupMenus(DWORD pid) {
    return VisibleTopLevels(pid, "#32768");
}

std::vector<TRemoteMenuItem> PopupMenuItems(HWND popup) {
    std::vector<TRemoteMenuItem> items;
    // Windows keeps menus with the window manager, so the handle that the
    // popup window reports can be read from any process. Wine keeps them in
    // the process that made them: there the count fails and nothing is read.
    auto menu = reinterpret_cast<HMENU>(Send(popup, MN_GETHMENU));
    if (!menu || menu == reinterpret_cast<HMENU>(-1)) return items;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        TRemoteMenuItem item;
        UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
        item.Separator = (state & MF_SEPARATOR) != 0;
        item.Disabled = (state & (MF_DISABLED | MF_GRAYED)) != 0;
        item.Id = GetMenuItemID(menu, i);
        char text[256] = {};
        if (!item.Separator) GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        item.Text = text;
        items.push_back(item);
    }
    return items;
}

std::string ComboItemText(HWND combo, int item) {
    LRESULT n = Send(combo, CB_GETLBTEXTLEN, WPARAM(item));
    if (n < 0) return {};
    // Asked for in UTF-16: Wine hands the ANSI form of this message to
    // another process as UTF-16 all the same, twice the bytes it was given
    // room for. Room to spare, since the length may be counted in bytes.
    std::vector<wchar_t> wide(size_t(n) * 2 + 16, L'\0');
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, WPARAM(item),
                             reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, kTimeout,
                             &result))
        return {};
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

// --- TRemoteBuffer ---

TRemoteBuffer::TRemoteBuffer(HANDLE process, size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

TRemoteBuffer::~TRemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool TRemoteBuffer::Write(const void* data, size_t size, size_t offset) {
    SIZE_T done = 0;
    return address_ &&
           WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool TRemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T done = 0;
    return address_ &&
           ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

// --- TRemoteList ---

int TRemoteList::Count() const {
    return int(Send(list_, LVM_GETITEMCOUNT));
}

int TRemoteList::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(Send(list_, LVM_GETHEADER));
    return header ? int(Send(header, HDM_GETITEMCOUNT)) : 0;
}

int TRemoteList::Focused() const {
    return int(Send(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
}

std::string TRemoteList::Text(int item, int column) const {
    constexpr size_t kText = 1024;
    // The item record and its text buffer both live in the list's process.
    TRemoteBuffer buf(process_, sizeof(LVITEMA) + kText);
    if (!buf.Valid()) return "<no memory>";
    LVITEMA lv{};
    lv.mask = LVIF_TEXT;
    lv.iItem = item;
    lv.iSubItem = column;
    lv.pszText = reinterpret_cast<char*>(buf.Address(sizeof(LVITEMA)));
    lv.cchTextMax = int(kText);
    char zero = 0;
    buf.Write(&zero, 1, sizeof(LVITEMA));
    buf.Write(&lv, sizeof lv);
    LRESULT n = Send(list_, LVM_GETITEMTEXTA, WPARAM(item), buf.Address());
    if (n < 0) return "<no answer>";
    std::vector<char> text(kText + 1, '\0');
    buf.Read(text.data(), kText, sizeof(LVITEMA));
    return text.data();
}

int TRemoteList::Image(int item, int column) const {
    TRemoteBuffer buf(process_, sizeof(LVITEMA));
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iSubItem = column;
    lv.iImage = -7; // shows when nobody filled it in
    buf.Write(&lv, sizeof lv);
    if (Send(list_, LVM_GETITEMA, 0, buf.Address()) <= 0) return -8;
    buf.Read(&lv, sizeof lv);
    return lv.iImage;
}

std::vector<std::string> TRemoteList::Column(int column) const {
    // One buffer in the list's process serves every item, and only the text's
    // length (the answer) is read back: lists of many thousand rows are read
    // in a fraction of the calls that Text takes for each.
    constexpr size_t kText = 1024;
    std::vector<std::string> texts;
    int n = Count();
    TRemoteBuffer buf(process_, sizeof(LVITEMA) + kText);
    if (!buf.Valid()) return texts;
    std::vector<char> text(kText + 1, '\0');
    for (int i = 0; i < n; ++i) {
        LVITEMA lv{};
        lv.mask = LVIF_TEXT;
        lv.iItem = i;
        lv.iSubItem = column;
        lv.pszText = reinterpret_cast<char*>(buf.Address(sizeof(LVITEMA)));
        lv.cchTextMax = int(kText);
        buf.Write(&lv, sizeof lv);
        LRESULT length = Send(list_, LVM_GETITEMTEXTA, WPARAM(i), buf.Address());
        if (length < 0) {
            texts.push_back("<no answer>");
            continue;
        }
        size_t got = std::min(size_t(length), kText - 1);
        if (got && !buf.Read(text.data(), got, sizeof(LVITEMA))) got = 0;
        texts.emplace_back(text.data(), got);
    }
    return texts;
}

// --- TRemoteStatusBar ---

int TRemoteStatusBar::PartCount() const {
    return int(Send(bar_, SB_GETPARTS, 0, 0));
}

std::vector<int> TRemoteStatusBar::PartEdges() const {
    int n = PartCount();
    std::vector<int> edges(size_t(std::max(n, 0)));
    if (n <= 0) return edges;
    TRemoteBuffer buf(process_, edges.size() * sizeof(int));
    Send(bar_, SB_GETPARTS, WPARAM(n), buf.Address());
    buf.Read(edges.data(), edges.size() * sizeof(int));
    return edges;
}

std::string TRemoteStatusBar::Text(int part) const {
    LRESULT length = Send(bar_, SB_GETTEXTLENGTHA, WPARAM(part));
    if (length < 0) return "<no answer>";
    size_t n = LOWORD(length);
    TRemoteBuffer buf(process_, n + 1);
    Send(bar_, SB_GETTEXTA, WPARAM(part), buf.Address());
    std::vector<char> text(n + 1, '\0');
    buf.Read(text.data(), n);
    std::string s(text.data(), n);
    // Leading tabs only say how the panel aligns its text.
    return s.substr(std::min(s.find_first_not_of('\t'), s.size()));
}

// --- TRemoteSaveDialog ---

namespace {
// Control ids of the common file dialogs (dlgs.h).
constexpr int kFileTypeBox = 0x470, kFolderBox = 0x471, kFileNameCombo = 0x47c,
              kFileNameEdit = 0x480;
} // namespace

HWND TRemoteSaveDialog::Control(int id) const {
    if (HWND w = GetDlgItem(dialog_, id)) return w;
    for (HWND w : Descendants(dialog_)) // a dialog with a template of its own nests them
        if (GetDlgCtrlID(w) == id) return w;
    return nullptr;
}

std::string TRemoteSaveDialog::Folder() const {
    return WindowText(Control(kFolderBox));
}

std::string TRemoteSaveDialog::FileType() const {
    return WindowText(Control(kFileTypeBox));
}

HWND TRemoteSaveDialog::FileNameBox() const {
    // Newer dialogs have a combo box with an edit inside, older ones an edit.
    if (HWND combo = Control(kFileNameCombo)) {
        std::vector<HWND> edits = FindDescendants(combo, "Edit");
        if (!edits.empty()) return edits[0];
    }
    return Control(kFileNameEdit);
}

bool TRemoteSaveDialog::Save(const std::string& fileName) const {
    HWND box = FileNameBox();
    HWND save = GetDlgItem(dialog_, IDOK);
    DWORD_PTR result = 0;
    // WM_SETTEXT carries its text to the other process.
    if (!box || !save ||
        !SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()),
                             SMTO_ABORTIFHUNG, kTimeout, &result))
        return false;
    return PostMessageA(save, BM_CLICK, 0, 0) != FALSE;
}

void TRemoteSaveDialog::Cancel() const {
    PostMessageA(GetDlgItem(dialog_, IDCANCEL), BM_CLICK, 0, 0);
}

// --- TBoxWatcher ---

TBoxWatcher::TBoxWatcher(DWORD pid) : pid_(pid), thread_([this] { Run(); }) {}

TBoxWatcher::~TBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<TBoxWatcher::TBox> TBoxWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

size_t TBoxWatcher::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_.size();
}

void TBoxWatcher::LeaveAlone(const std::string& title) {
    std::lock_guard<std::mutex> lock(mutex_);
    leftAlone_.push_back(title);
}

bool TBoxWatcher::LeftAlone(HWND w) const {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (leftAlone_.empty()) return false;
    }
    std::string title = WindowText(w);
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(leftAlone_.begin(), leftAlone_.end(), title) != leftAlone_.end();
}

void TBoxWatcher::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.clear();
}

bool TBoxWatcher::WaitForCount(size_t n, DWORD ms) const {
    return WaitFor([&] { return Count() >= n; }, ms);
}

void TBoxWatcher::Run() {
    while (!stop_) {
        for (HWND w : TopLevelWindows(pid_)) {
            if (ClassOf(w) != "#32770" || !IsWindowVisible(w)) continue;
            if (std::find(answered_.begin(), answered_.end(), w) != answered_.end()) continue;
            if (LeftAlone(w)) continue;
            Answer(w);
        }
        // Boxes that are gone can be forgotten; their handles may come back.
        answered_.erase(
            std::remove_if(answered_.begin(), answered_.end(), [](HWND w) { return !IsWindow(w); }),
            answered_.end());
        Sleep(40);
    }
}

void TBoxWatcher::Answer(HWND box) {
    TBox seen;
    seen.Title = WindowText(box);
    // A message box's text is its static control 0xFFFF; else the longest text.
    if (HWND text = GetDlgItem(box, 0xFFFF)) seen.Text = WindowText(text);
    if (seen.Text.empty())
        for (HWND w : FindDescendants(box, "Static"))
            if (WindowText(w).size() > seen.Text.size()) seen.Text = WindowText(w);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(seen);
    }
    answered_.push_back(box);
    int id = GetDlgItem(box, IDYES)  ? (yes_ ? IDYES : IDNO)
             : GetDlgItem(box, IDOK) ? IDOK
                                     : IDCANCEL;
    // Pressed as a user would press it; a box that does not take the click
    // gets its command directly.
    if (HWND button = GetDlgItem(box, id)) PostMessageA(button, BM_CLICK, 0, 0);
    for (int i = 0; i < 50 && IsWindow(box) && IsWindowVisible(box); ++i)
        Sleep(30);
    if (IsWindow(box) && IsWindowVisible(box))
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

} // namespace vxtest
