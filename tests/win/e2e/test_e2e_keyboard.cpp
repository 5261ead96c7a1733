// The viewer from the keyboard, end to end: real key input from this process
// goes to the viewer once it is in front, and the focus, the menu bar and the
// clipboard are read back as an automation tool reads them.
#include "E2EFixture.h"

#include <commctrl.h>

using namespace vx;
using namespace vxtest;

namespace {

bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RCONTROL:
        return true;
    }
    return false;
}

// Presses a key with modifiers held, as the keyboard does: SendInput.
void Press(WORD vk, std::initializer_list<WORD> held = {}) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = WORD(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(k) ? KEYEVENTF_EXTENDEDKEY : 0);
        in.push_back(i);
    };
    for (WORD m : held)
        key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto m = std::rbegin(held); m != std::rend(held); ++m)
        key(*m, true);
    SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    PumpFor(150);
}

// The window that has the keyboard focus in the viewer's UI thread.
HWND FocusOf(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(main, nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

class KeyboardTest : public E2ETest {
  protected:
    // The viewer in front with the keyboard focus in it.
    bool BringViewerToFront() {
        HWND main = viewer.Main();
        AllowSetForegroundWindow(viewer.Pid());
        SetForegroundWindow(main);
        return WaitFor([&] { return GetForegroundWindow() == main && FocusOf(main) != nullptr; },
                       5000);
    }
    HWND Focus() { return FocusOf(viewer.Main()); }
    // The viewer started without sections, so the side bar had the keys
    // (unless the section was there when it was activated): Tab goes on to
    // the section's debug list.
    bool FocusTheList(HWND list) {
        if (Focus() != list) {
            EXPECT_EQ(ClassOf(Focus()), "vxOutlookBar");
            Press(VK_TAB);
        }
        return WaitForFocus(list) == list;
    }
    HWND WaitForFocus(HWND want) {
        WaitFor([&] { return Focus() == want; }, 3000);
        return Focus();
    }
};

TEST_F(KeyboardTest, RowsAreSelectedAndCopiedAndTabWalksTheSection) {
    StartViewer();
    ASSERT_TRUE(Connect("K 1", "C:\\Apps\\Keys.exe|Main"));
    ASSERT_TRUE(Send(dkString, "K 1", "first"));
    ASSERT_TRUE(Send(dkString, "K 1", "second\twith a tab", dgWarning));
    ASSERT_TRUE(Send(dkString, "K 1", "third", dgError));
    auto section = WaitForSection("Client ID: K [Main]");
    ASSERT_TRUE(section);
    TRemoteList list = section->DebugList();
    ASSERT_EQ(EventuallyCount(3, [&] { return list.Count(); }), 3);
    ASSERT_TRUE(BringViewerToFront());
    ASSERT_TRUE(FocusTheList(list.Handle()));

    // Up to the second row, Shift+Up takes the first one too; Ctrl+C copies both.
    Press(VK_UP);
    Press(VK_UP, {VK_SHIFT});
    EXPECT_EQ(EventuallyCount(0, [&] { return list.Focused(); }), 0);
    Press('C', {VK_CONTROL});
    const std::string time = list.Text(0, 3);
    const std::string want = "General\tString\tfirst\t" + time +
                             "\r\nWarning\tString\tsecond with a tab\t" + list.Text(1, 3) + "\r\n";
    EXPECT_EQ(EventuallyText(want, ClipboardText, 5000), want);

    // Tab goes on to the source fields and Shift+Tab back; before the list
    // stands the side bar, after the billboard too.
    Press(VK_TAB);
    EXPECT_EQ(ClassOf(Focus()), "Edit");
    Press(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(WaitForFocus(list.Handle()), list.Handle());
    Press(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(ClassOf(Focus()), "vxOutlookBar");
    Press(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(WaitForFocus(section->Billboard().Handle()), section->Billboard().Handle());
    Press(VK_TAB);
    EXPECT_EQ(ClassOf(Focus()), "vxOutlookBar");
    Press(VK_TAB);
    ASSERT_EQ(WaitForFocus(list.Handle()), list.Handle());

    // Shift+F10 opens the list's own menu, not the menu bar.
    auto menusOpen = [&] { return OpenPopupMenus(viewer.Pid()).size(); };
    Press(VK_F10, {VK_SHIFT});
    ASSERT_EQ(Eventually<size_t>(1, [&] { return menusOpen(); }), 1u);
    Press(VK_ESCAPE);
    EXPECT_EQ(Eventually<size_t>(0, [&] { return menusOpen(); }), 0u);
    EXPECT_EQ(WaitForFocus(list.Handle()), list.Handle());
    EXPECT_EQ(list.Count(), 3);

    // Ctrl+Enter opens the data viewer with the keys in it; Esc closes it.
    HWND textViewer = viewer.TextViewer();
    ASSERT_TRUE(textViewer);
    Press(VK_RETURN, {VK_CONTROL});
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(textViewer) != FALSE; }, 5000));
    Press(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(textViewer); }, 5000));
}

TEST_F(KeyboardTest, F10AndAltOpenTheMenuBarAndTheArrowsMoveAlongIt) {
    StartViewer();
    ASSERT_TRUE(Connect("M 1", "C:\\Apps\\Menu.exe|Main"));
    ASSERT_TRUE(Send(dkString, "M 1", "a row"));
    auto section = WaitForSection("Client ID: M [Main]");
    ASSERT_TRUE(section);
    TRemoteList list = section->DebugList();
    ASSERT_EQ(EventuallyCount(1, [&] { return list.Count(); }), 1);
    ASSERT_TRUE(BringViewerToFront());
    ASSERT_TRUE(FocusTheList(list.Handle()));
    std::vector<HWND> bars = FindDescendants(viewer.Main(), "ToolbarWindow32");
    ASSERT_EQ(bars.size(), 1u);
    HWND bar = bars[0];
    std::function<int()> hot = [&] { return int(SendMessageA(bar, TB_GETHOTITEM, 0, 0)); };
    std::function<size_t()> menusOpen = [&] { return OpenPopupMenus(viewer.Pid()).size(); };

    Press(VK_F10);
    EXPECT_EQ(WaitForFocus(bar), bar);
    EXPECT_EQ(hot(), 0) << "File";
    EXPECT_EQ(list.Count(), 1) << "F10 clears nothing";
    Press(VK_RIGHT);
    EXPECT_EQ(EventuallyCount(1, hot), 1) << "View";
    Press(VK_DOWN);
    ASSERT_EQ(Eventually<size_t>(1, [&] { return menusOpen(); }), 1u) << "the View menu drops down";
    Press(VK_RIGHT);
    EXPECT_EQ(EventuallyCount(2, hot), 2) << "Right in the open menu goes on to Help";
    EXPECT_EQ(Eventually<size_t>(1, [&] { return menusOpen(); }), 1u);
    Press(VK_ESCAPE);
    EXPECT_EQ(Eventually<size_t>(0, [&] { return menusOpen(); }), 0u);
    EXPECT_EQ(Focus(), bar) << "Esc steps back to the menu bar";
    EXPECT_EQ(hot(), 2);
    Press(VK_ESCAPE);
    EXPECT_EQ(WaitForFocus(list.Handle()), list.Handle()) << "and then to where the keys were";
    EXPECT_LT(hot(), 0);

    // A lone Alt does the same, and Alt again leaves.
    Press(VK_MENU);
    EXPECT_EQ(WaitForFocus(bar), bar);
    Press(VK_LEFT);
    EXPECT_EQ(EventuallyCount(2, hot), 2) << "Left from File wraps round to Help";
    Press(VK_MENU);
    EXPECT_EQ(WaitForFocus(list.Handle()), list.Handle());
}

// Ctrl+F in a section of 100,000 rows: typing finds the two records among
// them as the scan goes on, F3 goes round the end, and the bar's count is read
// from this process as a screen reader reads it.
TEST_F(KeyboardTest, TheFindBarFindsTwoRecordsAmongAHundredThousand) {
    StartViewer();
    const std::string client = "--client \"Hay 1\" --app C:\\Apps\\Hay.exe --caption Haystack ";
    Vxsend(client + "connect");
    Vxsend(client + "string --text \"the needle, first\"");
    TVxsendResult flood = RunVxsend(client + "flood 100000", 300000);
    ASSERT_EQ(flood.ExitCode, 0u) << flood.Output;
    Vxsend(client + "string --text \"the needle, last\"");
    auto section = WaitForSection("Client ID: Hay [Haystack]");
    ASSERT_TRUE(section);
    TRemoteList list = section->DebugList();
    ASSERT_EQ(EventuallyCount(
                  100002, [&] { return list.Count(); }, 30000),
              100002);
    ASSERT_TRUE(BringViewerToFront());
    ASSERT_TRUE(FocusTheList(list.Handle()));

    Press('F', {VK_CONTROL});
    HWND status = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (HWND s : FindDescendants(section->Frame(), "Static"))
                if (GetDlgCtrlID(s) == 0x4F10 && IsWindowVisible(s)) status = s;
            return status != nullptr;
        },
        5000));
    EXPECT_EQ(ClassOf(Focus()), "Edit");
    for (char c : std::string("NEEDLE"))
        Press(WORD(c));
    EXPECT_EQ(EventuallyText(
                  "2 of 2 matches", [&] { return WindowText(status); }, 20000),
              "2 of 2 matches")
        << "the focused last row is the first match at or after it";
    EXPECT_EQ(list.Focused(), 100001);
    Press(VK_F3);
    EXPECT_EQ(EventuallyText("1 of 2 matches - Passed the end, went on from the top",
                             [&] { return WindowText(status); }),
              "1 of 2 matches - Passed the end, went on from the top");
    EXPECT_EQ(EventuallyCount(0, [&] { return list.Focused(); }), 0);
    EXPECT_TRUE(viewer.Responsive(1000));
    Press(VK_ESCAPE);
    EXPECT_EQ(WaitForFocus(list.Handle()), list.Handle());
}
