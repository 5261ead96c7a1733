#include "SectionFixture.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

TEST(SectionCommands, NotesAreAddedAndInsertedAsTheUserTypesThem) {
    SectionTest t;
    auto s = t.Make();
    auto& asked = t.Fakes.Dialogs.Inputs;
    t.Fakes.Clock.Value = 46001.25;
    t.Answer(std::string(300, 'n'));
    s->mnu_AddNoteClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, "Add new note");
    ASSERT_EQ(s->RowCount(), 1u);
    TDebugRowView note = s->Rows().Row(0);
    EXPECT_EQ(note.Kind, dkNote);
    EXPECT_EQ(note.Group, dgGeneral);
    EXPECT_EQ(note.Text, std::string(255, 'n'));
    EXPECT_EQ(note.Time, 46001.25);
    s->mnu_AddNoteClick(); // cancel gives the empty default: nothing added
    EXPECT_EQ(s->RowCount(), 1u);

    t.Add(*s, "second");
    t.Add(*s, "third");
    s->FocusRow(1);
    t.Answer("inserted");
    s->mnu_InsertNoteClick();
    EXPECT_EQ(asked.back().Caption, "Insert note");
    EXPECT_EQ(s->lst_DebugGetText(1, 2), "inserted");
    // The focus stays on "second", now one further down.
    EXPECT_EQ(s->FocusedRow(), 2u);
    EXPECT_EQ(s->SelectedRow(), 2u);
    EXPECT_EQ(t.Host.Panels[1], "#3");
    EXPECT_EQ(t.Host.Panels[2], "4 messages");

    // Without a focused row nothing is asked.
    s->FocusRow(TSectionCore::npos);
    size_t count = asked.size();
    s->mnu_InsertNoteClick();
    s->mnu_EditInfoClick();
    s->mnu_DeleteInfoClick();
    EXPECT_EQ(asked.size(), count);
    EXPECT_EQ(s->RowCount(), 4u);
}

TEST(SectionCommands, EditAndDeleteTheFocusedRow) {
    SectionTest t;
    auto s = t.Make();
    auto& asked = t.Fakes.Dialogs.Inputs;
    t.Add(*s, "first");
    t.Add(*s, "", dgGeneral, dkSeparator);
    TDebugInfoRec r = Rec("last");
    Attach(r, "bytes");
    s->AddDebugInfo(r, false);

    s->FocusRow(0);
    t.Answer(std::string(256, 'e'));
    s->mnu_EditInfoClick();
    EXPECT_EQ(asked.back().Caption, "Edit Message");
    EXPECT_EQ(asked.back().Default, "first");
    EXPECT_EQ(s->lst_DebugGetText(0, 2), std::string(255, 'e'));
    t.Answer("");
    s->mnu_EditInfoClick(); // an empty answer changes nothing
    EXPECT_EQ(s->lst_DebugGetText(0, 2), std::string(255, 'e'));

    s->FocusRow(1); // a separator cannot be edited: nothing is even asked
    size_t count = asked.size();
    s->mnu_EditInfoClick();
    EXPECT_EQ(asked.size(), count);
    TDebugMenuState m = s->PopupMenu_3Popup();
    EXPECT_TRUE(m.InsertNote && m.DeleteInfo && !m.EditInfo);

    s->FocusRow(2);
    s->mnu_DeleteInfoClick();
    EXPECT_EQ(s->RowCount(), 2u);
    EXPECT_EQ(s->Rows().DataBlocks(), 0u);
    EXPECT_EQ(t.Host.Panels[1], "");
    EXPECT_EQ(t.Host.Panels[2], "2 messages");
    m = s->PopupMenu_3Popup();
    EXPECT_TRUE(m.AddNote && m.UseColors && m.ClearDebugInfos && m.ExportItems);
    EXPECT_FALSE(m.InsertNote || m.EditInfo || m.DeleteInfo);
    s->mnu_ClearDebugInfosClick();
    m = s->PopupMenu_3Popup();
    EXPECT_FALSE(m.ClearDebugInfos || m.ExportItems);
}

TEST(SectionCommands, PauseBlocksTheClientAndClearsButNotTheUsersEdits) {
    SectionTest t;
    auto s = t.Make();
    t.Add(*s, "row", dgWarning);
    s->AddMessage("line");
    s->act_Pause(true);

    // Blocked: client rows, message lines, info lines, and every clear.
    t.Add(*s, "client row");
    s->AddMessage("client line");
    s->SetInfoLine(2, "B|2");
    s->mnu_ClearMessagesClick();
    s->mnu_ClearDebugInfosClick();
    EXPECT_EQ(s->RowCount(), 1u);
    EXPECT_EQ(s->Billboard().Count(), 1u);
    EXPECT_EQ(s->InfoPad().Line(2).Value, "");

    // Not blocked: notes, row edits and deletes, billboard edits, clearing the
    // info pad, the filter.
    t.Answer("note");
    s->mnu_AddNoteClick();
    s->FocusRow(0);
    t.Answer("inserted");
    s->mnu_InsertNoteClick();
    t.Answer("edited");
    s->mnu_EditInfoClick();
    EXPECT_EQ(s->lst_DebugGetText(1, 2), "edited");
    s->mnu_DeleteInfoClick();
    EXPECT_EQ(s->RowCount(), 2u);
    t.Answer("user line");
    s->mnu_AddMessageClick();
    s->SelectMessage(0);
    s->mnu_DeleteMessageClick();
    EXPECT_EQ(s->Billboard().Line(0), "1|user line");
    s->mnu_ClearInfoPadClick();
    EXPECT_EQ(s->InfoPad().Line(1).Caption, "1st Infoline");
    s->ApplyGroupFilter(3);
    EXPECT_EQ(s->VisibleCount(), 0u);
}

TEST(SectionCommands, PanelSettingsDecideWhichPanelsOpen) {
    SectionTest t;
    auto s = t.Make("Client\\Sub");
    s->SetWorkAreaSize(800, 420);
    s->ShowSection(); // no settings yet: every panel open at its share
    EXPECT_TRUE(s->Visible());
    EXPECT_EQ(s->Layout().DataWidth, 400);
    EXPECT_EQ(s->Layout().MemoHeight, 140);
    EXPECT_EQ(s->Layout().InfoPadHeight, 106);

    s->DataPanelDragged(250);
    s->mnu_HideInfoPadClick();
    s->act_ShowMessages(false);
    EXPECT_FALSE(s->Layout().MemoSplitterVisible);
    s->HideSection();
    EXPECT_FALSE(s->Visible());
    EXPECT_EQ(t.Host.InfoLine, "Welcome to vxDebugger");
    const std::string key = "Software\\Vexel\\Debugger\\1.0\\Debugger\\Client\\Sub";
    ASSERT_NE(t.Settings.Find(key, "Data Panel"), nullptr);
    EXPECT_EQ(t.Settings.Find(key, "Data Panel")->Data, "250");
    EXPECT_EQ(t.Settings.Find(key, "Memo Panel")->Data, "0");
    EXPECT_EQ(t.Settings.Find(key, "Info Panel")->Data, "0");

    // The stored sizes only decide which panels open; open ones take their share.
    auto again = t.Make("Client\\Sub");
    again->SetWorkAreaSize(800, 420);
    again->ShowSection();
    EXPECT_EQ(again->Layout().DataWidth, 400);
    EXPECT_EQ(again->Layout().MemoHeight, 0);
    EXPECT_FALSE(again->Layout().ShowMessageDown);
    EXPECT_EQ(again->Layout().InfoPadHeight, 0);
    EXPECT_FALSE(again->Layout().ShowInfoPadDown);
    again->act_ShowData(false);
    EXPECT_EQ(again->Layout().DataWidth, 0);
    EXPECT_FALSE(again->Layout().DataSplitterVisible);
}

TEST(SectionCommands, CloseKeepsEverythingDeleteEmptiesAndRenames) {
    SectionTest t;
    auto s = t.Make("Client 7");
    s->SectionNumber = 3;
    s->SetConnected(true);
    s->ShowSection();
    t.Add(*s, "row");
    s->AddMessage("line");
    s->act_Delete(); // not while connected
    EXPECT_EQ(s->ClientID, "Client 7");
    EXPECT_TRUE(t.Host.RemovedTags.empty());

    s->act_Close();
    EXPECT_FALSE(s->Visible());
    EXPECT_EQ(t.Host.Panels[1] + t.Host.Panels[2] + t.Host.Panels[3], "");
    EXPECT_EQ(s->RowCount(), 1u);

    s->SetConnected(false);
    s->act_Delete();
    EXPECT_EQ(s->RowCount(), 0u);
    EXPECT_EQ(s->Billboard().Count(), 0u);
    EXPECT_EQ(t.Host.RemovedTags, std::vector<int>{3});
    EXPECT_FALSE(s->Visible());
    EXPECT_EQ(s->ClientID, "DEL_Client 7");
    // Saved under the real ID before the rename, never under the new one.
    EXPECT_NE(t.Settings.Find("Software\\Vexel\\Debugger\\1.0\\Debugger\\Client 7", "Info Panel"),
              nullptr);
    s->HideSection();
    EXPECT_FALSE(t.Settings.KeyExists("Software\\Vexel\\Debugger\\1.0\\Debugger\\DEL_Client 7"));
}

TEST(SectionCommands, ClientRowsArrivingWhileAnInputBoxIsOpen) {
    SectionTest t;
    TBusyDialogs box;
    auto s = t.Make("Client 1", &box);
    t.Add(*s, "first");
    t.Add(*s, "second");

    // A client row takes the focus meanwhile; the edit still goes to the row
    // the user chose.
    s->FocusRow(0);
    box.WhileOpen = [&] { t.Add(*s, "client"); };
    box.InputAnswers.push_back("edited");
    s->mnu_EditInfoClick();
    EXPECT_EQ(s->lst_DebugGetText(0, 2), "edited");
    EXPECT_EQ(s->lst_DebugGetText(2, 2), "client");

    // The note goes before the chosen row; the focus stays on the client's row.
    s->FocusRow(1);
    box.WhileOpen = [&] { t.Add(*s, "client 2"); };
    box.InputAnswers.push_back("note");
    s->mnu_InsertNoteClick();
    EXPECT_EQ(s->lst_DebugGetText(1, 2), "note");
    EXPECT_EQ(s->lst_DebugGetText(2, 2), "second");
    EXPECT_EQ(s->FocusedRow(), 4u);
    EXPECT_EQ(s->lst_DebugGetText(4, 2), "client 2");

    // A client's clear takes the chosen row away: the answer is dropped, even
    // though a new row now stands at the same position.
    for (auto command : {&TSectionCore::mnu_EditInfoClick, &TSectionCore::mnu_InsertNoteClick}) {
        s->FocusRow(0);
        box.WhileOpen = [&] {
            s->ClearDebugInfos(false);
            t.Add(*s, "after clear");
        };
        box.InputAnswers.push_back("lost");
        ((*s).*command)();
        ASSERT_EQ(s->RowCount(), 1u);
        EXPECT_EQ(s->lst_DebugGetText(0, 2), "after clear");
    }
}

TEST(SectionCommands, ListCommandsActOnlyOnARowTheFilterShows) {
    SectionTest t;
    auto s = t.Make();
    t.Add(*s, "general");
    t.Add(*s, "warning", dgWarning); // focused: the last row added
    s->ChooseGroupFilter(1);         // general rows only
    ASSERT_EQ(s->VisibleCount(), 1u);
    ASSERT_EQ(s->FocusedRow(), 1u);

    TDebugMenuState m = s->PopupMenu_3Popup();
    EXPECT_FALSE(m.InsertNote || m.EditInfo || m.DeleteInfo);
    t.Answer("typed");
    s->mnu_EditInfoClick();   // Enter
    s->mnu_InsertNoteClick(); // Insert
    s->mnu_DeleteInfoClick(); // Delete
    EXPECT_TRUE(t.Fakes.Dialogs.Inputs.empty());
    ASSERT_EQ(s->RowCount(), 2u);
    EXPECT_EQ(s->lst_DebugGetText(1, 2), "warning");

    // Once the row can be seen again the commands reach it.
    s->ChooseGroupFilter(0);
    s->mnu_DeleteInfoClick();
    ASSERT_EQ(s->RowCount(), 1u);
    EXPECT_EQ(s->lst_DebugGetText(0, 2), "general");
}

TEST(SectionCommands, DeletingAPausedSectionStillReleasesRowsDataAndBillboard) {
    SectionTest t;
    auto s = t.Make("Client 9");
    s->SectionNumber = 4;
    TDebugInfoRec r = Rec("with data");
    Attach(r, std::string(4096, 'x'));
    s->AddDebugInfo(r, false);
    s->AddMessage("line");
    s->act_Pause(true);
    s->act_Delete();
    EXPECT_EQ(s->RowCount(), 0u);
    EXPECT_EQ(s->Rows().DataBlocks(), 0u);
    EXPECT_EQ(s->Billboard().Count(), 0u);
    EXPECT_EQ(t.Viewer.Text(), "");
    EXPECT_EQ(t.Host.DeletedSections, std::vector<int>{4});
}
