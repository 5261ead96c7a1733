#include "SectionFixture.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

TEST(DebugList, CellTextsImagesAndPainting) {
    SectionTest t;
    auto s = t.Make();
    TDebugInfoRec r = Rec("hello", dgWarning, dkProcEnter);
    r.Time = 46000.75 + 5.0 / 86400;
    s->AddDebugInfo(r, false);
    t.Add(*s, "ignored", dgError, dkSeparator);
    t.Add(*s, "odd", 7, 40);
    t.Add(*s, "obj", dgInformation, dkObject);
    s->FocusRow(3);

    EXPECT_EQ(s->lst_DebugGetText(0, 2), "hello");
    EXPECT_EQ(s->lst_DebugGetText(0, 3), "6:00:05 PM");
    t.Fakes.Locale.LongTime = "HH:mm:ss";
    EXPECT_EQ(s->lst_DebugGetText(0, 3), "18:00:05");
    EXPECT_EQ(s->lst_DebugGetText(0, 0) + s->lst_DebugGetText(0, 1), "");
    EXPECT_EQ(s->lst_DebugGetImageIndex(0, 0), 2);
    EXPECT_EQ(s->lst_DebugGetImageIndex(0, 1), 11);
    EXPECT_EQ(s->lst_DebugGetImageIndex(2, 0), kNoImage); // unknown group
    EXPECT_EQ(s->lst_DebugGetImageIndex(2, 1), kNoImage); // unknown kind
    EXPECT_EQ(s->lst_DebugGetImageIndex(3, 1), 29);
    for (int c = 0; c < 4; ++c) { // a separator exports as an empty row
        EXPECT_EQ(s->lst_DebugGetText(1, c), "");
        EXPECT_EQ(s->lst_DebugGetImageIndex(1, c), kNoImage);
    }

    EXPECT_EQ(s->SetCanvasColor(0), TColor(0xFFFF00));
    EXPECT_EQ(s->SetCanvasColor(1), std::nullopt); // separator
    EXPECT_EQ(s->SetCanvasColor(2), std::nullopt); // group 7
    EXPECT_EQ(s->SetCanvasColor(3), std::nullopt); // the focused row keeps the selection colours
    EXPECT_FALSE(s->lst_DebugBeforeItemPaint(0).OwnerDrawn);
    TRowPaint sep = s->lst_DebugBeforeItemPaint(1);
    EXPECT_TRUE(sep.OwnerDrawn);
    EXPECT_EQ(sep.Background, clWhite);
    EXPECT_EQ(sep.Line, TColor(0x800000));
    s->FocusRow(1);
    sep = s->lst_DebugBeforeItemPaint(1);
    EXPECT_EQ(sep.Background, TColor(0x800000));
    EXPECT_EQ(sep.Line, clWhite);
    EXPECT_EQ(SeparatorLineY(40, 59), 49);
}

TEST(DebugList, ColourSwitchIsSharedByAllSections) {
    SectionTest t;
    auto a = t.Make("A");
    auto b = t.Make("B");
    t.Add(*a, "a", dgError);
    t.Add(*a, "focus");
    t.Add(*b, "b", dgInformation);
    t.Add(*b, "focus");
    a->mnu_UsecolorsClick();
    EXPECT_EQ(b->SetCanvasColor(0), std::nullopt);
    EXPECT_TRUE(b->UseColorsChecked()); // the other section's check mark is not updated
    b->mnu_UsecolorsClick();            // so its first click keeps colours off
    EXPECT_FALSE(t.Shared.UseColors);
    b->mnu_UsecolorsClick();
    EXPECT_EQ(a->SetCanvasColor(0), TColor(0x0000FF));
    EXPECT_FALSE(a->UseColorsChecked());
}

TEST(DebugList, AppendFocusesTheNewRowAndShowsItsDetails) {
    SectionTest t;
    auto s = t.Make();
    TDebugInfoRec r = Rec("with data");
    r.UnitName = "Main.pas";
    r.ProcName = "TForm1.Button1Click";
    r.LineNumber = 42;
    Attach(r, std::string("abc\0def", 7));
    t.Changes.clear();
    EXPECT_TRUE(s->AddDebugInfo(r, false));
    ASSERT_EQ(t.Changes.size(), 1u); // one notification per record
    unsigned want = scRows | scFocus | scDetails | scLabels | scRepaint;
    EXPECT_EQ(t.Changes[0] & want, want);
    EXPECT_EQ(s->FocusedRow(), 0u);
    EXPECT_EQ(s->SelectedRow(), 0u);
    EXPECT_EQ(s->Details().Data, "abc"); // up to the zero byte
    EXPECT_EQ(t.Viewer.Text(), "abc");
    EXPECT_EQ(s->Details().UnitName, "Main.pas");
    EXPECT_EQ(s->Details().Procedure, "TForm1.Button1Click");
    EXPECT_EQ(s->Details().LineNumber, "42");

    // Line 0 empties the source fields even when names are given; data
    // without a zero byte ends at its size.
    TDebugInfoRec n = Rec("no line");
    n.UnitName = "Other.pas";
    Attach(n, "xyz");
    s->AddDebugInfo(n, false);
    EXPECT_EQ(t.Viewer.Text(), "xyz");
    EXPECT_EQ(s->Details().UnitName + s->Details().Procedure + s->Details().LineNumber, "");

    s->FocusRow(0);
    EXPECT_EQ(s->Details().LineNumber, "42");
    EXPECT_EQ(t.Host.Panels[1], "#1");
    s->act_ShowViewer(); // the viewer takes the data panel's text and shows
    EXPECT_EQ(t.Viewer.Text(), "abc");
    EXPECT_EQ(t.Viewer.ShowCount(), 1);
}

TEST(DebugList, StatusPanelsInformationLineAndLabels) {
    SectionTest t;
    auto s = t.Make("PC01 4711");
    s->Caption = "Main";
    s->ApplicationName = "C:\\Apps\\Demo.exe";
    s->LevelText = "High";
    s->RefreshInfo();
    EXPECT_EQ(s->Labels().ID, "Client ID: PC01 [Main]");
    EXPECT_EQ(s->Labels().Application, "Application Name: C:\\Apps\\Demo.exe");
    EXPECT_EQ(s->Labels().DebugLevel, "Debug Level: High");
    EXPECT_EQ(t.Host.Panels[1], "");
    EXPECT_EQ(t.Host.Panels[2], "No message");
    EXPECT_EQ(t.Host.Panels[3], "Active");
    EXPECT_EQ(t.Host.InfoLine, "Debugger section");
    s->ClientID = "SOLO";
    s->RefreshInfo();
    EXPECT_EQ(s->Labels().ID, "Client ID: SOLO [Main]"); // an ID without a blank is shown whole

    t.Add(*s, "one");
    EXPECT_EQ(t.Host.Panels[2], "1 message");
    t.Add(*s, "two");
    t.Add(*s, "three");
    EXPECT_EQ(t.Host.Panels[1], "#3");
    EXPECT_EQ(t.Host.Panels[2], "3 messages");
    s->act_Pause(true);
    EXPECT_EQ(t.Host.InfoLine, "Debugger section [PAUSED]");
    EXPECT_EQ(t.Host.Panels[3], "Paused");

    // The connection display changes only when the state does.
    t.Changes.clear();
    s->SetConnected(false);
    EXPECT_TRUE(t.Changes.empty());
    s->SetConnected(true);
    EXPECT_EQ(s->Labels().Connection, "CONNECTED");
    EXPECT_EQ(s->Labels().ConnectionColor, clWhite);
    EXPECT_FALSE(s->Labels().DeleteEnabled);
    s->SetConnected(false);
    EXPECT_EQ(s->Labels().Connection, "DISCONNECTED");
    EXPECT_EQ(s->Labels().ConnectionColor, TColor(0x0000FF));
    EXPECT_TRUE(s->Labels().DeleteEnabled);
    EXPECT_EQ(PlaceConnectionLabel(600, 120, 300).Left, 470);
    EXPECT_TRUE(PlaceConnectionLabel(600, 120, 469).Visible);
    EXPECT_FALSE(PlaceConnectionLabel(600, 120, 470).Visible); // a long name hides it
}

TEST(DebugList, FilterKeepsRowsInPlaceAndNewRowsVisibleUntilReapplied) {
    SectionTest t;
    auto s = t.Make();
    for (uint8_t g : {0, 2, 0, 3, 7})
        t.Add(*s, "g" + std::to_string(g), g);

    s->ChooseGroupFilter(3); // warnings
    EXPECT_EQ(s->GroupsGlyph(), 36);
    ASSERT_EQ(s->VisibleCount(), 1u);
    EXPECT_EQ(s->CellText(0, 2), "g2");
    // The focus stays on its hidden row; its position counts hidden rows.
    EXPECT_EQ(s->VisibleOfRow(s->FocusedRow()), TSectionCore::npos);
    EXPECT_EQ(t.Host.Panels[1], "#5");
    EXPECT_EQ(t.Host.Panels[2], "5 messages");

    t.Add(*s, "new general", 0);
    EXPECT_EQ(s->CellText(1, 2), "new general");
    s->btn_GroupsClick(); // applies the current filter to the new rows too
    EXPECT_EQ(s->VisibleCount(), 1u);
    s->SetGroupFilter(0); // a connect resets the value without filtering
    EXPECT_EQ(s->VisibleCount(), 1u);
    s->btn_GroupsClick();
    EXPECT_EQ(s->VisibleCount(), 6u);

    s->ApplyGroupFilter(1);
    EXPECT_EQ(s->VisibleCount(), 3u);
    EXPECT_THROW(s->ApplyGroupFilter(5), ERangeError); // refused, nothing changes
    EXPECT_EQ(s->GroupFilter(), 1);
    EXPECT_EQ(s->VisibleCount(), 3u);
    EXPECT_EQ(s->CellText(3, 2), "");
    s->ChooseGroupFilter(0);
    EXPECT_EQ(s->GroupsGlyph(), 33);
    EXPECT_EQ(s->VisibleCount(), 6u); // group 7 only with "Show all"
}

TEST(DebugList, PausedSectionDropsClientRowsButNotForcedOnes) {
    SectionTest t;
    auto s = t.Make();
    t.Add(*s, "before");
    s->act_Pause(true);
    TDebugInfoRec r = Rec("dropped");
    Attach(r, "keep me");
    const uint8_t* block = r.Data.get();
    EXPECT_FALSE(s->AddDebugInfo(r, false));
    EXPECT_EQ(r.Data.get(), block); // still the caller's to release
    TDebugInfoRec f = Rec("forced");
    EXPECT_TRUE(s->AddDebugInfo(f, true));
    EXPECT_EQ(s->RowCount(), 2u);
    EXPECT_EQ(s->FocusedRow(), 1u);

    t.Viewer.SetText("viewer text");
    s->ClearDebugInfos(false); // clearing while paused changes nothing
    EXPECT_EQ(s->RowCount(), 2u);
    EXPECT_EQ(t.Viewer.Text(), "viewer text");
    s->act_Pause(false);
    s->ClearDebugInfos(true);
    EXPECT_EQ(t.Viewer.Text(), "viewer text");
    EXPECT_EQ(t.Host.Panels[1] + "/" + t.Host.Panels[2], "/No message");
    s->ClearDebugInfos(false);
    EXPECT_EQ(t.Viewer.Text(), "");
}

// Something beside the group filter (the rules) decides which rows the list
// shows: the list, the commands and the status follow it.
TEST(DebugList, ShownRowsDecideTheListAndTheCommands) {
    struct TEvenRows : IShownRows {
        const TDebugRowStore* Rows = nullptr;
        bool IsShown(size_t row) const override { return row % 2 == 0; }
        size_t VisibleCount() const override { return (Rows->Count() + 1) / 2; }
        size_t RowOfVisible(size_t v) const override { return v * 2; }
        size_t VisibleOfRow(size_t row) const override { return row % 2 ? size_t(-1) : row / 2; }
    } even;
    vxtest::SectionTest t;
    auto s = t.Make();
    even.Rows = &s->Rows();
    s->SetShownRows(&even);
    for (const char* text : {"a", "b", "c", "d"})
        t.Add(*s, text);
    EXPECT_EQ(s->VisibleCount(), 2u);
    EXPECT_EQ(s->CellText(1, 2), "c");
    EXPECT_EQ(t.Host.ShownRows, "2 of 4 rows shown");
    EXPECT_EQ(t.Host.Panels[2], "4 messages");
    // The focused row "d" is hidden: the list's commands leave it alone.
    EXPECT_FALSE(s->PopupMenu_3Popup().DeleteInfo);
    s->mnu_DeleteInfoClick();
    EXPECT_EQ(s->RowCount(), 4u);
    s->SetShownRows(nullptr);
    s->RefreshInfo();
    EXPECT_EQ(t.Host.ShownRows, "");
    EXPECT_EQ(ShownRowsText(1234, 100000), "1,234 of 100,000 rows shown");
    EXPECT_EQ(ShownRowsText(999, 1000), "999 of 1,000 rows shown");
}
