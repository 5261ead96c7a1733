// The format dialog of Execute, driven in-process through its own message
// loop: layout, the list of types, the shared change handler, keyboard,
// cancel, and the save dialog it leads to.
#include "ExportUiRig.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vx;
using namespace vxtest;

namespace {

class FormatDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.Files.Temp = TempFolder();
        fake.Files.UseRealFiles = true;
        table.SetTempDir(fake.Files.Temp);
        table.SetUI(&ui);
        table.Messages.Caption = "Exporting List";
        table.OnError = [this](TvxCustomExport&, TvxExportError e) { errors.push_back(e); };
    }
    // Runs Execute with the steps; every step must have run.
    void Execute(std::vector<TStep> steps) {
        Drive(ui, std::move(steps));
        table.Execute();
        EXPECT_TRUE(DriveFinished());
        EXPECT_EQ(ui.Dialog(), nullptr);
    }

    TFakePlatform fake;
    TvxExportUIWin ui{Owner().Handle()};
    TTable table{fake.Services()};
    std::vector<TvxExportError> errors;
};

const std::vector<std::string> kAllTypes = {"HTML",
                                            "Microsoft Word",
                                            "Microsoft Excel",
                                            "Text",
                                            "Rich Text",
                                            "Comma-Separated Text",
                                            "Tab-Separated Text",
                                            "Data Interchange Format",
                                            "SYLK Format",
                                            "Clipboard"};

} // namespace

TEST_F(FormatDialog, LayoutModalityAndCancel) {
    HWND seen = nullptr;
    Execute({[&](HWND d) {
        seen = d;
        RECT w;
        GetWindowRect(d, &w);
        EXPECT_EQ(w.right - w.left, 330);
        EXPECT_EQ(w.bottom - w.top, 150);
        EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - 330) / 2);
        EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - 150) / 2);
        EXPECT_EQ(WindowText(d), "Exporting List");
        const LONG ex = GetWindowLongA(d, GWL_EXSTYLE), style = GetWindowLongA(d, GWL_STYLE);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(ex & WS_EX_TOPMOST);
        EXPECT_FALSE(style & WS_SYSMENU); // no border icons
        EXPECT_FALSE(IsWindowEnabled(Owner().Handle()));
        EXPECT_EQ(GetWindow(d, GW_OWNER), Owner().Handle());

        // Place, text and font of every control (the list's height is its own).
        struct {
            int Id, Left, Top, Width, Height;
            const char* Text;
        } const controls[] = {{IDOK, 240, 8, 75, 25, "&Export"},
                              {IDCANCEL, 240, 40, 75, 25, "&Cancel"},
                              {kFormatGroupId, 8, 8, 225, 118, " E&xport formats: "},
                              {kFormatListId, 16, 32, 209, 0, "Microsoft Excel"},
                              {kViewOnlyId, 16, 68, 113, 17, "&View only"},
                              {kExportToFileId, 16, 88, 113, 17, "Export &to file"},
                              {kTypeImageId, 180, 70, 50, 50, ""}};
        for (const auto& c : controls) {
            HWND h = GetDlgItem(d, c.Id);
            RECT r = ChildRect(h);
            EXPECT_TRUE(SameRect(r, c.Left, c.Top, c.Width, c.Height ? c.Height : r.bottom - r.top))
                << c.Id;
            EXPECT_EQ(WindowText(h), c.Text);
            if (c.Id != kTypeImageId) {
                EXPECT_EQ(HGDIOBJ(SendMessageA(h, WM_GETFONT, 0, 0)),
                          GetStockObject(DEFAULT_GUI_FONT));
            }
        }
        RECT client;
        GetClientRect(d, &client);
        EXPECT_LE(8 + 118, client.bottom); // the group box fits
        EXPECT_EQ(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);

        // Every type in display order, the current one (Excel) selected,
        // the current style checked.
        HWND combo = GetDlgItem(d, kFormatListId);
        EXPECT_EQ(ComboItems(combo), kAllTypes);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
        EXPECT_TRUE(Checked(d, kViewOnlyId));
        EXPECT_FALSE(Checked(d, kExportToFileId));
        EXPECT_EQ(GetFocus(), combo);

        // Dropped down, the list shows every item without scrolling.
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(combo, &info);
        RECT dropped;
        GetClientRect(info.hwndList, &dropped);
        const int itemHeight = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        EXPECT_GE(dropped.bottom, 10 * itemHeight);
        EXPECT_EQ(SendMessageA(info.hwndList, LB_GETTOPINDEX, 0, 0), 0);
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);

        Click(d, IDCANCEL);
    }});
    // Cancelled: nothing written, opened or reported; the owner is back.
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(Owner().Handle()));
    EXPECT_TRUE(fake.Shell.Calls.empty());
    EXPECT_TRUE(fake.Dialogs.SaveDialogs.empty());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(table.ExportType(), xtExcel);
    EXPECT_EQ(table.ExportStyle, xsView);
}

TEST_F(FormatDialog, ListOffersTheCurrentTypeEvenWhenNotAllowed) {
    table.SetExportTypes(TvxExportTypeSet{xtCSV});
    table.SetExportType(xtExcel);
    Execute({[&](HWND d) {
        HWND combo = GetDlgItem(d, kFormatListId);
        EXPECT_EQ(ComboItems(combo),
                  (std::vector<std::string>{"Microsoft Excel", "Comma-Separated Text"}));
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
        Click(d, IDCANCEL);
    }});
    EXPECT_EQ(table.ExportTypes(), (TvxExportTypeSet{xtCSV, xtExcel}));
    EXPECT_EQ(table.ExportType(), xtExcel);
}

TEST_F(FormatDialog, ChoicesTakeEffectAtOnceAlsoWhenCancelled) {
    Execute({[&](HWND d) {
                 SelectItem(d, "Clipboard");
                 EXPECT_EQ(table.ExportType(), xtClipboard);
                 EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kViewOnlyId)));
                 EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kExportToFileId)));
                 SelectItem(d, "Tab-Separated Text");
                 EXPECT_EQ(table.ExportType(), xtTAB);
                 EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kViewOnlyId)));
                 EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kExportToFileId)));
                 Click(d, kExportToFileId);
                 EXPECT_EQ(table.ExportStyle, xsFile);
                 EXPECT_FALSE(Checked(d, kViewOnlyId));
                 Click(d, kViewOnlyId);
                 EXPECT_EQ(table.ExportStyle, xsView);
                 Click(d, kExportToFileId);
             },
             [&](HWND d) { Click(d, IDCANCEL); }});
    EXPECT_EQ(table.ExportType(), xtTAB);
    EXPECT_EQ(table.ExportStyle, xsFile);
    EXPECT_TRUE(fake.Dialogs.SaveDialogs.empty());
    EXPECT_TRUE(fake.Shell.Calls.empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormatDialog, ImageShowsTheSelectedTypeOnTheDialogFace) {
    auto picture = [](HWND d) { return PrintClient(GetDlgItem(d, kTypeImageId)).Data; };
    std::vector<unsigned> excel, html;
    Execute({[&](HWND d) {
        excel = picture(d);
        SelectItem(d, "HTML");
        html = picture(d);
        Click(d, IDCANCEL);
    }});
    ASSERT_EQ(excel.size(), 50u * 50u);
    const COLORREF f = GetSysColor(COLOR_BTNFACE);
    const unsigned face = unsigned(GetRValue(f)) << 16 | unsigned(GetGValue(f)) << 8 | GetBValue(f);
    // Transparent around the 32x32 picture, something drawn inside it.
    EXPECT_EQ(excel[0], face);
    EXPECT_EQ(excel[49 * 50 + 49], face);
    EXPECT_EQ(excel[40 * 50 + 10], face);
    EXPECT_GT(std::count_if(excel.begin(), excel.end(), [&](unsigned p) { return p != face; }),
              100);
    EXPECT_NE(excel, html);
}

TEST_F(FormatDialog, KeyboardChoosesAndConfirms) {
    const int before = fake.Clipboard.SetCount;
    Execute({[&](HWND d) {
                 ASSERT_EQ(GetFocus(), GetDlgItem(d, kFormatListId));
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_DOWN, 0); // Excel -> Text
             },
             [&](HWND) {
                 EXPECT_EQ(table.ExportType(), xtTXT);
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
             },
             [&](HWND d) {
                 EXPECT_EQ(GetFocus(), GetDlgItem(d, kViewOnlyId));
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_DOWN, 0); // the other radio button
             },
             [&](HWND d) {
                 EXPECT_EQ(GetFocus(), GetDlgItem(d, kExportToFileId));
                 EXPECT_EQ(table.ExportStyle, xsFile);
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
             }});
    EXPECT_EQ(table.ExportType(), xtTXT);
    EXPECT_EQ(table.ExportStyle, xsFile);
    EXPECT_TRUE(fake.Dialogs.SaveDialogs.empty());

    // Enter exports: to the clipboard, with its information box.
    table.SetExportType(xtClipboard);
    Execute(
        {[&](HWND d) { PostMessageA(GetDlgItem(d, kFormatListId), WM_KEYDOWN, VK_RETURN, 0); }});
    EXPECT_EQ(fake.Clipboard.SetCount, before + 1);
    EXPECT_NE(fake.Clipboard.Text.find("row 3"), std::string::npos);
    EXPECT_EQ(fake.Dialogs.Informations, std::vector<std::string>{"Data was copied to clipboard!"});
    EXPECT_TRUE(fake.Dialogs.SaveDialogs.empty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormatDialog, SaveDialogAsksOnceForTheFileName) {
    const std::string target = fake.Files.Temp + "list.csv";
    auto chooseCsvToFile = [&](HWND d) {
        SelectItem(d, "Comma-Separated Text");
        Click(d, kExportToFileId);
        Click(d, IDOK);
    };
    // The save dialog is cancelled: reported, nothing written.
    Execute({chooseCsvToFile});
    ASSERT_EQ(fake.Dialogs.SaveDialogs.size(), 1u);
    const TSaveDialogParams& asked = fake.Dialogs.SaveDialogs[0];
    EXPECT_EQ(asked.Title, "Save document");
    EXPECT_EQ(asked.DefaultExt, "CSV");
    EXPECT_EQ(asked.Filter, "CSV (Comma delimited) (*.csv)|*.CSV");
    EXPECT_EQ(asked.InitialDir, fake.Files.Program);
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeSaveCancelled});
    EXPECT_TRUE(table.FileName.empty());
    EXPECT_FALSE(fake.Files.FileExists(fake.Files.Temp + "list.CSV"));

    // Confirmed: the document is written and the name kept.
    errors.clear();
    fake.Dialogs.SaveAnswers.push_back(target);
    Execute({chooseCsvToFile});
    EXPECT_EQ(fake.Dialogs.SaveDialogs.size(), 2u);
    EXPECT_EQ(table.FileName, target);
    EXPECT_EQ(ReadFile(fake.Files.Temp + "list.CSV"),
              "Line,Text\r\n1,\"row 1\"\r\n2,\"row 2\"\r\n3,\"row 3\"\r\n");

    // Later exports reuse the name without asking.
    table.Rows = 1;
    table.Prefix = "again";
    Execute({[&](HWND d) { Click(d, IDOK); }});
    EXPECT_EQ(fake.Dialogs.SaveDialogs.size(), 2u);
    EXPECT_EQ(ReadFile(fake.Files.Temp + "list.CSV"), "Line,Text\r\n1,\"again 1\"\r\n");
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(fake.Shell.Calls.empty());
}

TEST_F(FormatDialog, VisibleRowsOnlyIsOffAtFirstAndKeptLikeTheOtherChoices) {
    EXPECT_FALSE(table.Options.Has(xoVisibleRowsOnly));
    Execute({[&](HWND d) {
                 HWND box = GetDlgItem(d, kVisibleRowsOnlyId);
                 ASSERT_TRUE(box);
                 EXPECT_EQ(WindowText(box), "Export visible &rows only");
                 EXPECT_FALSE(Checked(d, kVisibleRowsOnlyId));
                 // Within the group box, under the radio buttons, its text not cut.
                 RECT r = ChildRect(box), group = ChildRect(GetDlgItem(d, kFormatGroupId));
                 RECT radio = ChildRect(GetDlgItem(d, kExportToFileId));
                 EXPECT_GE(r.top, radio.bottom);
                 EXPECT_LE(r.bottom, group.bottom - 1);
                 EXPECT_LE(r.right, ChildRect(GetDlgItem(d, kTypeImageId)).left);
                 HDC dc = GetDC(box);
                 HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(box, WM_GETFONT, 0, 0)));
                 SIZE text{};
                 GetTextExtentPoint32A(dc, "Export visible rows only", 24, &text);
                 SelectObject(dc, old);
                 ReleaseDC(box, dc);
                 EXPECT_LE(text.cx + GetSystemMetrics(SM_CXMENUCHECK) + 4, r.right - r.left);
                 // Tab order: the list, the radio buttons, then the check box.
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
             },
             [&](HWND d) {
                 EXPECT_EQ(GetFocus(), GetDlgItem(d, kVisibleRowsOnlyId));
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
                 PostMessageA(GetFocus(), WM_KEYUP, VK_SPACE, 0xC0000000);
             },
             [&](HWND d) {
                 EXPECT_TRUE(Checked(d, kVisibleRowsOnlyId));
                 EXPECT_TRUE(table.Options.Has(xoVisibleRowsOnly));
                 PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
             }});
    // Kept when cancelled, and shown again next time.
    EXPECT_TRUE(table.Options.Has(xoVisibleRowsOnly));
    Execute({[&](HWND d) {
        EXPECT_TRUE(Checked(d, kVisibleRowsOnlyId));
        Click(d, kVisibleRowsOnlyId);
        EXPECT_FALSE(table.Options.Has(xoVisibleRowsOnly));
        Click(d, IDCANCEL);
    }});
    EXPECT_FALSE(table.Options.Has(xoVisibleRowsOnly));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormatDialog, GroupAcceleratorFocusesTheFormatList) {
    Execute({[&](HWND d) {
                 SetFocus(GetDlgItem(d, kViewOnlyId));
                 PostMessageA(GetFocus(), WM_SYSCHAR, 'x', 0x20000001); // Alt+X
             },
             [&](HWND d) {
                 EXPECT_EQ(GetFocus(), GetDlgItem(d, kFormatListId));
                 Click(d, IDCANCEL);
             }});
}
