// Sections coming and going over a long day, shut-down while a modal box
// waits, and the end of the Windows session.
#include "mainwindow/SectionManager.h"
#include "ui/Dialogs_win.h"
#include "sections/SectionCore.h"
#include "sections/frame_Sections_win.h"
#include "win/mainwindow/MainWindowFixture.h"
#include "win/sections/GuiObjects.h"

#include <cstdio>
#include <functional>

using namespace vx;
using namespace vxtest;
using vxtest::GuiObjects;
using vxtest::TGuiObjects;

namespace {

void Send(Tfrm_VexelDebugWindow& w, uint8_t kind, const std::string& id,
          const std::string& text = "", const std::string& data = "") {
    TPacketFields f;
    f.ClientID = id;
    f.Text = text;
    f.Data = data;
    std::string block = EncodePacket(f);
    COPYDATASTRUCT cds{0, DWORD(block.size()), block.data()};
    SendMessageA(w.Handle(), WM_COPYDATA, kind, reinterpret_cast<LPARAM>(&cds));
}

// Runs inside the next modal loop, once.
// Runs inside a modal box's loop; returns false to be called again on the
// next tick (a loaded machine may fire the timer before the box is shown).
std::function<bool()> g_insideBox;
void CALLBACK InsideBox(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_insideBox || g_insideBox()) {
        KillTimer(nullptr, id);
        g_insideBox = nullptr;
    }
}

} // namespace

TEST_F(MainWindowTest, DeletedSectionsGiveBackTheirWindowsFontsAndMenus) {
    auto w = Make();
    w->act_ShowExecute();
    auto cycle = [&](int run) {
        // A client that takes a new ID on every run, as many do.
        std::string id = "run " + std::to_string(run);
        Send(*w, dkConnect, id, "C:\\Apps\\Demo.exe|Demo");
        Send(*w, dkString, id, "row", std::string(1000, 'd'));
        Send(*w, dkAddMessage, id, "line");
        Send(*w, dkDisconnect, id);
        Tfme_Sections* frame = Tfrm_VexelDebugWindow::FrameOf(*w->Sections.back());
        ASSERT_NE(frame, nullptr);
        frame->FinishBuild(); // the tools come in a step after the list
        frame->UpdateNow();   // the delete button is enabled once disconnected
        SendMessageA(frame->btn_Delete.Handle(), BM_CLICK, 0, 0);
        ui::ProcessMessages();
    };
    for (int run = 0; run < 5; ++run)
        cycle(run); // what the program keeps once made
    TGuiObjects before = GuiObjects();
    for (int run = 5; run < 305; ++run)
        cycle(run);
    TGuiObjects after = GuiObjects();
    std::printf("gui objects (%s) before: %ld user, %ld gdi; after 300 cycles: %ld user, %ld gdi\n",
                after.Measured ? "GetGuiResources" : "counted", before.User, before.Gdi, after.User,
                after.Gdi);
    EXPECT_LE(after.User - before.User, 2);
    EXPECT_LE(after.Gdi - before.Gdi, 2);
    // Each deleted section keeps its place, so numbers still are positions.
    ASSERT_EQ(w->Sections.size(), 305u);
    EXPECT_EQ(Tfrm_VexelDebugWindow::FrameOf(*w->Sections[0]), nullptr);
    EXPECT_EQ(w->Sections[304]->Core().SectionNumber, 305);
    EXPECT_EQ(w->Sections[304]->Core().RowCount(), 0u);
    EXPECT_EQ(w->vxOutlookBar->HeaderCount(), 0);
    Send(*w, dkConnect, "run 0", "C:\\Apps\\Demo.exe|Again");
    ASSERT_EQ(w->Sections.size(), 306u);
    EXPECT_NE(Tfrm_VexelDebugWindow::FrameOf(*w->Sections[305]), nullptr);
}

TEST_F(MainWindowTest, TrayExitWaitsWhileAModalBoxIsOpen) {
    auto w = Make();
    w->act_ShowExecute();
    Send(*w, dkConnect, "a", "App.exe|A");
    ASSERT_EQ(w->Sections.size(), 1u);
    fakes.Dialogs.ConfirmAnswers = {true, true};
    TWinDialogs box; // a real input box, owned by the main window
    box.Owner = w->Handle();
    bool exited = true, shown = false;
    HWND boxWindow = nullptr;
    g_insideBox = [&] {
        boxWindow = GetLastActivePopup(w->Handle());
        if (boxWindow == w->Handle() || !IsWindowVisible(boxWindow)) return false;
        w->HideToTray();
        exited = w->PopupMenu_3.Click(w->act_Exit->Id) && w->Closing();
        shown = IsWindowVisible(w->Handle()) && IsWindowVisible(boxWindow);
        PostMessageA(boxWindow, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    SetTimer(nullptr, 0, 50, &InsideBox);
    box.InputBox("Add new note", "Text: ", "");
    EXPECT_FALSE(exited);
    EXPECT_NE(boxWindow, w->Handle());
    EXPECT_TRUE(shown) << "the window and its box come back from the tray";
    EXPECT_TRUE(fakes.Dialogs.Confirmations.empty());
    EXPECT_EQ(w->Sections.size(), 1u);
    EXPECT_EQ(listener->Count(vnClosing), 0);
    // Once the box has its answer, the tray's exit asks and shuts down.
    EXPECT_TRUE(w->PopupMenu_3.Click(w->act_Exit->Id));
    EXPECT_TRUE(w->Closing());
    EXPECT_EQ(fakes.Dialogs.Confirmations.size(), 1u);
}

TEST_F(MainWindowTest, EndOfTheSessionKeepsEverySectionsPanels) {
    auto w = Make();
    Send(*w, dkConnect, "a", "App.exe|A");
    Send(*w, dkConnect, "b", "App.exe|B");
    EXPECT_EQ(SendMessageA(w->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(RegValue("Debugger\\a", "Data Panel"), "<absent>")
        << "the log-off may yet be refused";
    SendMessageA(w->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_NE(RegValue("Display", "Main Width"), "<absent>");
    EXPECT_NE(RegValue("Debugger\\a", "Data Panel"), "<absent>");
    EXPECT_NE(RegValue("Debugger\\b", "Info Panel"), "<absent>");
    EXPECT_EQ(listener->Count(vnClosing), 0) << "posted: not yet delivered";
    ui::ProcessMessages();
    EXPECT_EQ(listener->Count(vnClosing), 1);
    EXPECT_EQ(w->Sections.size(), 2u); // the process may end at any moment; nothing is freed
}
