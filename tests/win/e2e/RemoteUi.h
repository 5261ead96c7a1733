// Reading another process's windows the way assistive technology does:
// window texts and classes, the items of a list view, the panels of a status
// bar, and the modal message boxes that process shows. Messages whose
// arguments are pointers get buffers allocated in the other process.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vxtest {

// WM_GETTEXT through a timeout, so a hung window cannot hang the test.
std::string WindowText(HWND w);
std::string ClassOf(HWND w);
// Every descendant of root, parents before their children.
std::vector<HWND> Descendants(HWND root);
// Descendants of root with this class (and this text when text is not null).
std::vector<HWND> FindDescendants(HWND root, const char* cls, const char* text = nullptr);
// The top-level windows of a process.
std::vector<HWND> TopLevelWindows(DWORD pid);
// The screen rectangle of a window.
RECT ScreenRect(HWND w);
// Pumps this thread's messages while waiting up to ms for cond, polling.
bool WaitFor(const std::function<bool()>& cond, DWORD ms = 10000);
// Pumps this thread's messages for ms.
void PumpFor(DWORD ms);

// One entry of a menu that another process shows.
struct TRemoteMenuItem {
    UINT Id = 0;
    std::string Text; // with its "&" and its "\t" shortcut
    bool Separator = false, Disabled = false;
};
// The popup menu windows (#32768) a process shows now.
std::vector<HWND> OpenPopupMenus(DWORD pid);
// The entries of the menu that a popup menu window shows (MN_GETHMENU);
// empty where menus cannot be read from another process (Wine).
std::vector<TRemoteMenuItem> PopupMenuItems(HWND popup);

// The text of a combo box's item (the system carries it between processes).
std::string ComboItemText(HWND combo, int item);
// The top-level windows of a process with this class and caption that are visible.
std::vector<HWND> VisibleTopLevels(DWORD pid, const char* cls, const char* text = nullptr);

// A block of memory in another process, freed with the object.
class TRemoteBuffer {
  public:
    TRemoteBuffer(HANDLE process, size_t size);
    ~TRemoteBuffer();
    TRemoteBuffer(const TRemoteBuffer&) = delete;
    TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;
    bool Valid() const { return address_ != nullptr; }
    LPARAM Address(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
    }
    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

// A SysListView32 of another process (owner-data lists included).
class TRemoteList {
  public:
    TRemoteList(HANDLE process, HWND list) : process_(process), list_(list) {}
    HWND Handle() const { return list_; }
    int Count() const;
    int ColumnCount() const;
    int Focused() const; // -1: none
    std::string Text(int item, int column) const;
    int Image(int item, int column) const; // -1: none
    // The texts of one column, all items.
    std::vector<std::string> Column(int column) const;

  private:
    HANDLE process_;
    HWND list_;
};

// A msctls_statusbar32 of another process.
class TRemoteStatusBar {
  public:
    TRemoteStatusBar(HANDLE process, HWND bar) : process_(process), bar_(bar) {}
    int PartCount() const;
    std::vector<int> PartEdges() const;
    // A panel's text without the tabs that centre or right-align it.
    std::string Text(int part) const;

  private:
    HANDLE process_;
    HWND bar_;
};

// The system's save dialog (GetSaveFileName, explorer style) that another
// process shows.
class TRemoteSaveDialog {
  public:
    explicit TRemoteSaveDialog(HWND dialog) : dialog_(dialog) {}
    HWND Handle() const { return dialog_; }
    std::string Title() const { return WindowText(dialog_); }
    // The name of the folder it shows ("Save in").
    std::string Folder() const;
    // The chosen entry of "Files of type" ("Excel Files (*.xls)").
    std::string FileType() const;
    // Types the name into the file-name box and presses Save.
    bool Save(const std::string& fileName) const;
    void Cancel() const;

  private:
    HWND Control(int id) const;
    HWND FileNameBox() const;
    HWND dialog_;
};

// Watches for the message boxes of one process on a thread of its own (the
// test's thread may be blocked in a SendMessage that the box holds), records
// their texts and answers them: with Yes when it is offered and the test asked
// for Yes, else with OK, No or Cancel, whatever the box has.
class TBoxWatcher {
  public:
    struct TBox {
        std::string Title, Text;
    };
    explicit TBoxWatcher(DWORD pid);
    ~TBoxWatcher();
    TBoxWatcher(const TBoxWatcher&) = delete;
    TBoxWatcher& operator=(const TBoxWatcher&) = delete;

    // The answer for a box with Yes and No (the exit confirmation).
    void SetAnswerYes(bool yes) { yes_ = yes; }
    // Dialogs with this title are the test's to answer (a save dialog): they
    // are neither recorded nor answered.
    void LeaveAlone(const std::string& title);
    std::vector<TBox> Boxes() const;
    size_t Count() const;
    void Clear();
    bool WaitForCount(size_t n, DWORD ms = 10000) const;

  private:
    void Run();
    bool LeftAlone(HWND w) const;
    void Answer(HWND box);

    DWORD pid_;
    std::atomic<bool> stop_{false}, yes_{false};
    mutable std::mutex mutex_;
    std::vector<TBox> boxes_;
    std::vector<HWND> answered_;
    std::vector<std::string> leftAlone_; // guarded by mutex_
    std::thread thread_;
};

} // namespace vxtest
