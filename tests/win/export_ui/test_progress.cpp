// The progress window: its geometry with and without a text and the bar's
// range during a real export, its rate of repainting, and that
// while it repaints the program's other windows paint but no other message
// (input, or a record sent by a client) runs in the middle of the export.
#include "ExportUiRig.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <thread>

using namespace vx;
using namespace vxtest;

namespace {

// The progress window as it is while the last record is written.
struct TSeen {
    RECT Window{}, Client{}, Bar{}, Label{};
    HWND Handle = nullptr, LabelHandle = nullptr;
    std::string Caption, LabelText;
    LONG Style = 0, ExStyle = 0;
    PBRANGE Range{-1, -1};
};

TSeen Look() {
    TSeen s;
    s.Handle = FindWindowA("TvxExportProgress", nullptr);
    HWND bar = FindWindowExA(s.Handle, nullptr, PROGRESS_CLASSA, nullptr);
    s.LabelHandle = FindWindowExA(s.Handle, nullptr, "STATIC", nullptr);
    GetWindowRect(s.Handle, &s.Window);
    GetClientRect(s.Handle, &s.Client);
    s.Bar = ChildRect(bar);
    if (s.LabelHandle) {
        s.Label = ChildRect(s.LabelHandle);
        s.LabelText = WindowText(s.LabelHandle);
    }
    s.Caption = WindowText(s.Handle);
    s.Style = GetWindowLongA(s.Handle, GWL_STYLE);
    s.ExStyle = GetWindowLongA(s.Handle, GWL_EXSTYLE);
    SendMessageA(bar, PBM_GETRANGE, TRUE, LPARAM(&s.Range));
    return s;
}

class ProgressWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        table.SetUI(&ui);
        table.ExportStyle = xsFile;
        table.SetExportType(xtCSV);
        table.FileName = TempFolder() + "rows.csv";
        table.Messages.Caption = "Exporting List";
        table.OnError = [this](TvxCustomExport&, TvxExportError e) { errors.push_back(e); };
        table.OnExport = [this](TvxCustomExport&, uint32_t current, uint32_t total, TvxValues&,
                                bool) {
            if (current + 1 == total) seen.push_back(Look());
        };
    }
    TFakePlatform fake;
    TvxExportUIWin ui{Owner().Handle()};
    std::vector<TSeen> seen;
    TTable table{fake.Services()};
    std::vector<TvxExportError> errors;
};

} // namespace

TEST_F(ProgressWindow, GeometryAndRange) {
    table.Rows = 1000;
    table.ExportData();
    ASSERT_EQ(seen.size(), 1u);
    TSeen s = seen[0];
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(IsWindow(s.Handle)); // gone with the export
    EXPECT_TRUE(s.Style & WS_VISIBLE);
    EXPECT_FALSE(s.Style & WS_SYSMENU);
    EXPECT_TRUE(s.ExStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(s.ExStyle & WS_EX_TOPMOST);
    EXPECT_EQ(s.Caption, "Exporting List");
    EXPECT_TRUE(SameRect(s.Window, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - 80) / 2, 300, 80));
    EXPECT_EQ(s.LabelText, "Processing...");
    EXPECT_EQ(s.Label.left, 8);
    EXPECT_EQ(s.Label.top, 8);
    const int labelHeight = s.Label.bottom - s.Label.top;
    EXPECT_GE(labelHeight, 11);
    const int barTop = (80 - s.Client.bottom) + (s.Client.bottom - labelHeight - 16 - 16) / 2;
    EXPECT_TRUE(SameRect(s.Bar, 8, barTop, s.Client.right - 16, 16));
    EXPECT_GT(s.Bar.top, s.Label.bottom);
    EXPECT_LE(s.Bar.bottom, s.Client.bottom);
    EXPECT_EQ(s.Range.iLow, 0);
    EXPECT_EQ(s.Range.iHigh, 1000);

    // Without a text: no label, the bar in the middle.
    table.Messages.Text.clear();
    table.Messages.Width = 250;
    table.Messages.Height = 100;
    table.Rows = 1;
    table.ExportData();
    ASSERT_EQ(seen.size(), 2u);
    s = seen[1];
    EXPECT_EQ(s.LabelHandle, nullptr);
    EXPECT_EQ(s.Window.right - s.Window.left, 250);
    EXPECT_EQ(s.Window.bottom - s.Window.top, 100);
    EXPECT_TRUE(SameRect(s.Bar, 8, (100 - 16 - 16) / 2, s.Client.right - 16, 16));

    // Not wanted: not shown.
    table.Options.Exclude(xoShowProgress);
    table.ExportData();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].Handle, nullptr);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgressWindow, RepaintsAtAPaceAndLetsOnlyPaintingRun) {
    TPlainHost& host = Owner();
    TvxMessagesOptions messages;
    TvxExportProgressWin progress(host.Handle(), messages, 100000);
    HWND bar = progress.Bar();
    EXPECT_EQ(progress.Repaints(), 1);
    progress.SetPosition(1); // just shown: waits for the next picture
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);

    // A client's record waits in another thread's SendMessage meanwhile.
    const int appsBefore = host.Apps;
    std::thread client([&] { SendMessageA(host.Handle(), WM_APP, 0, 0); });
    auto waiting = [] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; };
    for (int i = 0; i < 500 && !waiting(); ++i)
        Sleep(2);
    EXPECT_TRUE(waiting());

    InvalidateRect(host.Handle(), nullptr, TRUE);
    const int paintsBefore = host.Paints;
    Sleep(80);
    progress.SetPosition(2); // a while later: shown, however small the change
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 2);
    EXPECT_GT(host.Paints, paintsBefore); // the owner painted too: the program did not hang

    const int repaintsBefore = progress.Repaints();
    const DWORD start = GetTickCount();
    for (int i = 3; i < 100000; ++i)
        progress.SetPosition(i);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 99999); // the last record
    // At most one picture per 50 ms, not one per record.
    EXPECT_LE(progress.Repaints() - repaintsBefore, int(elapsed / 50) + 2);
    EXPECT_EQ(host.Apps, appsBefore); // the sent message waited for the export

    PumpFor(20);
    client.join();
    EXPECT_EQ(host.Apps, appsBefore + 1);
}
