// Shut-down through the Exit action, both answers, and the section list.
#include "mainwindow/SectionManager.h"
#include "sections/SectionCore.h"
#include "sections/frame_Sections_win.h"
#include "sidebar/vxOutlookBar.h"
#include "win/mainwindow/MainWindowFixture.h"

using namespace vx;
using namespace vxtest;

namespace {

struct TFakeFrame : ISectionFrame {
    explicit TFakeFrame(const TSectionContext& ctx) : core(ctx) {}
    TSectionCore& Core() override { return core; }
    TSectionCore core;
};

} // namespace

TEST_F(MainWindowTest, ShutdownAskedAndRefusedChangesNothing) {
    auto w = Make();
    w->act_ShowExecute();
    ui::ProcessMessages();
    fakes.Dialogs.ConfirmAnswers = {false};
    EXPECT_FALSE(w->CloseQueryAndClose());
    ui::ProcessMessages();
    ASSERT_EQ(fakes.Dialogs.Confirmations.size(), 1u);
    EXPECT_EQ(fakes.Dialogs.Confirmations[0], "Do you really want to exit?");
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    EXPECT_TRUE(w->LMDTrayIcon.Active());
    EXPECT_EQ(listener->Count(vnClosing), 0);
    EXPECT_EQ(RegValue("Display", "Main Left"), "<absent>");
    EXPECT_FALSE(w->Closing());
}

TEST_F(MainWindowTest, ShutdownConfirmedAnnouncesSavesAndFreesSections) {
    auto w = Make();
    TSectionShared shared;
    TSectionContext ctx{fakes.Services(), &registry, w.get(), nullptr, &shared};
    for (const char* id : {"client\\one", "two"}) {
        auto frame = std::make_unique<TFakeFrame>(ctx);
        frame->core.ClientID = id;
        frame->core.SectionNumber = int(w->Sections.size()) + 1;
        w->Sections.push_back(std::move(frame));
    }
    w->SetInformationLine("Debugger section");
    bool closed = false;
    w->OnClosed = [&] { closed = true; };
    fakes.Dialogs.ConfirmAnswers = {true};
    // From the tray menu's "S&hutdown...", the same action as the File menu's.
    EXPECT_TRUE(w->PopupMenu_3.Click(w->act_Exit->Id));
    ui::ProcessMessages();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(w->Closing());
    EXPECT_EQ(w->Handle(), nullptr);
    EXPECT_EQ(listener->Count(vnClosing), 1);
    EXPECT_EQ(RegValue("Display", "Main Left"), "361");
    EXPECT_EQ(RegValue("Display", "Icon Style"), "bsLarge");
    EXPECT_FALSE(w->LMDTrayIcon.Active());
    EXPECT_TRUE(w->Sections.empty());
    // Each section saved its panels on the way out, nested keys and all.
    EXPECT_TRUE(KeyExists("Debugger\\client\\one"));
    EXPECT_NE(RegValue("Debugger\\client\\one", "Info Panel"), "<absent>");
    EXPECT_NE(RegValue("Debugger\\two", "Data Panel"), "<absent>");
    // A second exit does nothing more.
    EXPECT_TRUE(w->CloseQueryAndClose());
    EXPECT_EQ(fakes.Dialogs.Confirmations.size(), 1u);
}

TEST_F(MainWindowTest, DeletedSectionsLoseTheirSideBarButtons) {
    auto w = Make();
    TvxOutlookBarHeader* app = w->vxOutlookBar->AddHeader("Demo.exe");
    for (int tag : {1, 2})
        w->vxOutlookBar->Headers(0)->AddButton("Section")->Tag = tag;
    w->vxOutlookBar->AddHeader("Other.exe")->AddButton("Main")->Tag = 3;
    w->RemoveSideBarButton(1);
    ASSERT_EQ(w->vxOutlookBar->HeaderCount(), 2);
    EXPECT_EQ(app->ButtonCount(), 1);
    EXPECT_EQ(app->Buttons(0)->Tag, 2);
    w->RemoveSideBarButton(2); // the emptied header goes too
    ASSERT_EQ(w->vxOutlookBar->HeaderCount(), 1);
    EXPECT_EQ(w->vxOutlookBar->Headers(0)->Caption(), "Other.exe");
    w->RemoveSideBarButton(9);
    EXPECT_EQ(w->vxOutlookBar->Headers(0)->ButtonCount(), 1);
}

TEST_F(MainWindowTest, RealSectionsDockWriteTheShellAndGoAtShutdown) {
    auto w = Make();
    for (const char* id : {"1 alpha", "2 beta"}) {
        std::unique_ptr<ISectionFrame> s = w->CreateSectionFrame();
        ASSERT_TRUE(s && Tfrm_VexelDebugWindow::FrameOf(*s));
        s->Core().ClientID = id;
        s->Core().SectionNumber = int(w->Sections.size()) + 1;
        w->vxOutlookBar->AddHeader(id)->AddButton("Section")->Tag = s->Core().SectionNumber;
        w->Sections.push_back(std::move(s));
    }
    Tfme_Sections* first = Tfrm_VexelDebugWindow::FrameOf(*w->Sections[0]);
    Tfme_Sections* second = Tfrm_VexelDebugWindow::FrameOf(*w->Sections[1]);
    EXPECT_EQ(GetParent(first->Handle()), w->PANEL_PLUGIN_DOCK.Handle());
    EXPECT_FALSE(first->Visible());
    w->Sections[0]->Core().ShowSection();
    w->Sections[1]->Core().ShowSection();
    ui::ProcessMessages();
    RECT dock, frame;
    GetClientRect(w->PANEL_PLUGIN_DOCK.Handle(), &dock);
    GetClientRect(second->Handle(), &frame);
    EXPECT_EQ(frame.right, dock.right);
    EXPECT_EQ(frame.bottom, dock.bottom);

    // The section that refreshed last writes the status panels and the line.
    TDebugInfoRec rec;
    rec.Kind = dkString;
    rec.Text = "hello";
    w->Sections[1]->Core().AddDebugInfo(rec, false);
    EXPECT_EQ(w->StatusBar.PanelText(1), "#1");
    EXPECT_EQ(w->StatusBar.PanelText(2), "1 message");
    EXPECT_EQ(w->StatusBar.PanelText(3), "Active");
    EXPECT_EQ(w->Panel_InformationLine.Caption(), " Debugger section");

    // Close empties the panels; deleting a disconnected section takes its button.
    w->Sections[1]->Core().act_Close();
    EXPECT_EQ(w->StatusBar.PanelText(2), "");
    EXPECT_EQ(w->Panel_InformationLine.Caption(), " Welcome to vxDebugger");
    EXPECT_FALSE(second->Visible());
    w->Sections[0]->Core().act_Delete();
    EXPECT_EQ(w->Sections[0]->Core().ClientID, "DEL_1 alpha");
    ASSERT_EQ(w->vxOutlookBar->HeaderCount(), 1);
    EXPECT_EQ(w->vxOutlookBar->Headers(0)->Caption(), "2 beta");

    fakes.Dialogs.ConfirmAnswers = {true};
    EXPECT_TRUE(w->CloseQueryAndClose());
    EXPECT_TRUE(w->Sections.empty());
    EXPECT_NE(RegValue("Debugger\\2 beta", "Memo Panel"), "<absent>");
    EXPECT_EQ(KeyExists("Debugger\\DEL_1 alpha"), false);
}
