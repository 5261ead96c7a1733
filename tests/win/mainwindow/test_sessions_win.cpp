// Session files in the running window: save and reopen, damaged and foreign
// files, logging to a folder that refuses it, and the history limit.
#include "mainwindow/SectionManager.h"
#include "sessionlog/SessionImage.h"
#include "win/mainwindow/MainWindowFixture.h"

#include <cstring>
#include <fstream>
#include <iterator>

using namespace vx;
using namespace vxtest;

namespace {

struct TTempFolder {
    std::string Dir;
    TTempFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        Dir = std::string(base) + "vx_sessions_" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(GetTickCount());
        CreateDirectoryA(Dir.c_str(), nullptr);
    }
    ~TTempFolder() {
        std::string cmd = "cmd /c rmdir /s /q \"" + Dir + "\" >nul 2>nul";
        WinExec(cmd.c_str(), SW_HIDE);
    }
    std::string Path(const std::string& name) const { return Dir + "\\" + name; }
};

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TSectionCore& LiveSection(Tfrm_VexelDebugWindow& w) {
    ISectionFrame* f = w.Manager->ConnectLocal("Inventory 7", "C:\\Apps\\Inventory.exe",
                                               "C:\\Apps\\Inventory.exe", "Main form");
    return f->Core();
}

void Fill(TSectionCore& s, int rows) {
    s.LevelText = "Medium";
    for (int i = 0; i < rows; ++i) {
        TDebugInfoRec r;
        r.Group = uint8_t(i % 4);
        r.Kind = uint8_t(dkString + i % 3);
        r.Text = "row " + std::to_string(i) + " \xE4\x01|";
        r.Time = 46000.25 + i / 86400.0;
        r.UnitName = "uUnit" + std::to_string(i % 2);
        r.ProcName = i % 2 ? "TForm1.Click" : "";
        r.LineNumber = i % 5;
        if (i % 3 == 0) {
            std::string data = std::string("d\0\xFF", 3) + std::to_string(i);
            r.Data = std::make_unique<uint8_t[]>(data.size());
            std::memcpy(r.Data.get(), data.data(), data.size());
            r.DataSize = int32_t(data.size());
        }
        s.AddDebugInfo(r, false);
    }
    s.AddMessage("first line");
    s.AddMessage("second|line");
    s.SetInfoLine(2, "Queue|42");
}

void ExpectSameSection(const TSectionCore& a, const TSectionCore& b) {
    EXPECT_EQ(a.ClientID, b.ClientID);
    EXPECT_EQ(a.ApplicationName, b.ApplicationName);
    EXPECT_EQ(a.Caption, b.Caption);
    EXPECT_EQ(a.LevelText, b.LevelText);
    ASSERT_EQ(a.RowCount(), b.RowCount());
    for (size_t i = 0; i < a.RowCount(); ++i) {
        TDebugRowView x = a.Rows().Row(i), y = b.Rows().Row(i);
        EXPECT_EQ(x.Group, y.Group) << i;
        EXPECT_EQ(x.Kind, y.Kind) << i;
        EXPECT_EQ(x.Text, y.Text) << i;
        EXPECT_EQ(x.Time, y.Time) << i;
        EXPECT_EQ(x.UnitName, y.UnitName) << i;
        EXPECT_EQ(x.ProcName, y.ProcName) << i;
        EXPECT_EQ(x.LineNumber, y.LineNumber) << i;
        ASSERT_EQ(x.DataSize, y.DataSize) << i;
        if (x.DataSize) {
            EXPECT_EQ(std::memcmp(x.Data, y.Data, size_t(x.DataSize)), 0) << i;
        }
    }
    ASSERT_EQ(a.Billboard().Count(), b.Billboard().Count());
    for (size_t i = 0; i < a.Billboard().Count(); ++i)
        EXPECT_EQ(a.Billboard().Line(i), b.Billboard().Line(i));
    for (int i = 1; i <= TInfoPad::kLines; ++i) {
        EXPECT_EQ(a.InfoPad().Line(i).Caption, b.InfoPad().Line(i).Caption);
        EXPECT_EQ(a.InfoPad().Line(i).Value, b.InfoPad().Line(i).Value);
    }
}

} // namespace

TEST_F(MainWindowTest, ASavedSectionReopensReadOnlyWithEveryField) {
    TTempFolder dir;
    auto w = Make();
    TSectionCore& live = LiveSection(*w);
    Fill(live, 50);
    const std::string path = dir.Path("saved.vxs");
    WriteAll(path, "an older file, replaced whole");
    fakes.Dialogs.SaveAnswers = {path};
    w->act_SaveSessionExecute(&live);
    ASSERT_TRUE(fakes.Dialogs.Errors.empty()) << fakes.Dialogs.Errors[0];
    EXPECT_EQ(fakes.Dialogs.SaveDialogs.at(0).FileName, "Inventory 7 2025-12-09.vxs");

    ASSERT_TRUE(w->OpenSessionFile(path));
    ASSERT_TRUE(WaitFor([&] { return w->Sections.size() == 2 && !w->ReadingSession(); }, 15000));
    TSectionCore& opened = w->Sections[1]->Core();
    ExpectSameSection(opened, live);
    EXPECT_TRUE(opened.ReadOnly());
    EXPECT_EQ(opened.Labels().Connection, "READ-ONLY");
    EXPECT_TRUE(fakes.Dialogs.Informations.empty());

    // It takes no client records and no edits; the live section still takes them.
    TDebugInfoRec r;
    r.Kind = dkString;
    r.Text = "late";
    EXPECT_FALSE(opened.AddDebugInfo(r, true));
    EXPECT_EQ(w->Manager->FindSection("Inventory 7"), w->Sections[0].get());
    opened.FocusRow(0);
    TDebugMenuState m = opened.PopupMenu_3Popup();
    EXPECT_FALSE(m.AddNote || m.InsertNote || m.EditInfo || m.DeleteInfo || m.ClearDebugInfos);
    EXPECT_TRUE(m.ExportItems);
    opened.act_Pause(true);
    EXPECT_FALSE(opened.Paused);
}

TEST_F(MainWindowTest, ATornFileOpensWhatIsGoodAndAForeignFileIsRefused) {
    TTempFolder dir;
    auto w = Make();
    TSectionCore& live = LiveSection(*w);
    Fill(live, 3000);
    const std::string path = dir.Path("whole.vxs");
    std::string error;
    ASSERT_TRUE(w->SaveSectionAs(live, path, error)) << error;
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 2000u);
    const std::string torn = dir.Path("torn.vxs");
    WriteAll(torn, bytes.substr(0, bytes.size() / 2));
    const std::string foreign = dir.Path("notes.txt");
    WriteAll(foreign, "just some text, no session at all");

    ASSERT_TRUE(w->OpenSessionFile(torn));
    ASSERT_TRUE(w->OpenSessionFile(foreign)); // waits its turn
    ASSERT_TRUE(
        WaitFor([&] { return !w->ReadingSession() && fakes.Dialogs.Errors.size() == 1; }, 15000));
    ASSERT_EQ(w->Sections.size(), 2u);
    TSectionCore& opened = w->Sections[1]->Core();
    EXPECT_GT(opened.RowCount(), 0u);
    EXPECT_LT(opened.RowCount(), live.RowCount());
    for (size_t i = 0; i < opened.RowCount(); ++i)
        ASSERT_EQ(opened.Rows().Text(i), live.Rows().Text(i));
    ASSERT_EQ(fakes.Dialogs.Informations.size(), 1u);
    EXPECT_NE(fakes.Dialogs.Informations[0].find("is damaged at byte"), std::string::npos)
        << fakes.Dialogs.Informations[0];
    EXPECT_EQ(fakes.Dialogs.Errors[0],
              "Cannot open \"" + foreign + "\": it is not a session file.");
}

TEST_F(MainWindowTest, LoggingToAFolderThatRefusesWritesStopsOnlyTheLog) {
    TTempFolder dir;
    const std::string blocked = dir.Path("blocked");
    WriteAll(blocked, "a file where the log folder should be");
    registry.RegWriteString("Display", "LogToDisk", "1");
    registry.RegWriteString("Display", "LogFolder", blocked + "\\logs");
    auto w = Make();
    EXPECT_TRUE(w->act_LogToDisk->Checked());
    TSectionCore& live = LiveSection(*w);
    Fill(live, 10);
    SendMessageA(w->Handle(), WM_TIMER, Tfrm_VexelDebugWindow::kLogTimerId, 0);
    Fill(live, 10);
    EXPECT_EQ(live.RowCount(), 20u);
    EXPECT_NE(w->Panel_InformationLine.Caption().find("not logged: "), std::string::npos)
        << w->Panel_InformationLine.Caption();

    // A folder that takes the log gets every row once a second.
    w->act_LogToDisk->Execute();
    EXPECT_FALSE(w->act_LogToDisk->Checked());
    registry.RegWriteString("Display", "LogFolder", dir.Path("logs"));
    w->LoadSessionSettings();
    ASSERT_TRUE(w->act_LogToDisk->Checked());
    Fill(live, 5);
    SendMessageA(w->Handle(), WM_TIMER, Tfrm_VexelDebugWindow::kLogTimerId, 0);
    TSessionImage img;
    TSessionScan scan = LoadSession(dir.Path("logs\\Inventory 7 2025-12-09.vxs"), img);
    EXPECT_TRUE(scan.Whole) << scan.Error;
    ASSERT_EQ(img.Rows.Count(), live.RowCount());
    EXPECT_EQ(img.Rows.Text(24), live.Rows().Text(24));
    EXPECT_EQ(w->Panel_InformationLine.Caption(), " Debugger section");
}

TEST_F(MainWindowTest, TheHistoryLimitDropsTheOldestRowsAndSaysHowMany) {
    registry.RegWriteInteger("Display", "HistoryLimit", 100);
    auto w = Make();
    TSectionCore& s = LiveSection(*w);
    Fill(s, 1000);
    EXPECT_LE(s.RowCount(), 100u);
    EXPECT_EQ(s.RowCount() + s.DroppedRows(), 1000u);
    EXPECT_EQ(s.Rows().Text(s.RowCount() - 1).substr(0, 8), "row 999 ");
    EXPECT_EQ(w->StatusBar.PanelText(2), std::to_string(s.RowCount()) + " messages (" +
                                             std::to_string(s.DroppedRows()) + " dropped)");
    EXPECT_EQ(w->StatusBar.PanelText(1), "#" + std::to_string(s.RowCount()));

    // A hostile value keeps the default.
    registry.RegWriteInteger("Display", "HistoryLimit", -7);
    w->LoadSessionSettings();
    EXPECT_EQ(w->HistoryLimit(), kDefaultHistoryLimit);
}
