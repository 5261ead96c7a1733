#include "SectionFixture.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

TEST(Billboard, ClientLinesAreNumberedAndKeptWhole) {
    SectionTest t;
    auto s = t.Make();
    s->AddMessage("first");
    s->AddMessage("a|b"); // a client's text is taken as it comes
    EXPECT_EQ(s->Billboard().Line(1), "2|a|b");
    EXPECT_EQ(s->Billboard().Selected(), 1u);
    IMessageListBox& list = s->MessageList();
    EXPECT_EQ(list.ColumnCaption(0), "ID");
    EXPECT_EQ(list.ColumnCaption(1), "Message");
    EXPECT_EQ(list.ItemPart(1, 0), "2");
    EXPECT_EQ(list.ItemPart(1, 1), "a|b"); // further bars stay in the message

    s->SelectMessage(0);
    s->mnu_DeleteMessageClick(); // renumbering keeps the whole message
    EXPECT_EQ(s->Billboard().Line(0), "1|a|b");
    EXPECT_EQ(s->Billboard().Selected(), TBillboard::npos);
    s->ClearMessages();
    EXPECT_FALSE(s->PopupMenu_1Popup().ClearMessages);
}

TEST(Billboard, UserAddsEditsInsertsAndDeletesLines) {
    SectionTest t;
    auto s = t.Make();
    auto& asked = t.Fakes.Dialogs.Inputs;
    for (const char* text : {"one", "two|2", "three"}) {
        t.Answer(text);
        s->mnu_AddMessageClick();
    }
    EXPECT_EQ(asked[0].Caption + asked[0].Prompt, "Add MessageMessage Text: ");
    EXPECT_EQ(s->Billboard().Line(1), "2|two?2");
    EXPECT_EQ(s->Billboard().Selected(), TBillboard::npos); // adding does not select

    TBillboardMenuState m = s->PopupMenu_1Popup();
    EXPECT_FALSE(m.EditMessage || m.InsertMessage || m.DeleteMessage);
    EXPECT_TRUE(m.ClearMessages);
    s->mnu_EditMessageClick(); // nothing selected: nothing asked
    s->mnu_InsertMessageClick();
    EXPECT_EQ(asked.size(), 3u);

    s->SelectMessage(2);
    t.Answer("new|3");
    s->mnu_InsertMessageClick();
    EXPECT_EQ(asked.back().Caption, "Insert Message");
    ASSERT_EQ(s->Billboard().Count(), 4u);
    EXPECT_EQ(s->Billboard().Line(2), "3|new?3");
    EXPECT_EQ(s->Billboard().Line(3), "4|three");
    EXPECT_EQ(s->Billboard().Selected(), 3u); // still on "three"

    s->SelectMessage(1);
    t.Answer("edited|x");
    s->mnu_EditMessageClick();
    EXPECT_EQ(asked.back().Caption, "Edit Message");
    EXPECT_EQ(asked.back().Default, "two?2");
    EXPECT_EQ(s->Billboard().Line(1), "2|edited?x");

    EXPECT_TRUE(s->PopupMenu_1Popup().DeleteMessage);
    s->mnu_DeleteMessageClick();
    ASSERT_EQ(s->Billboard().Count(), 3u);
    EXPECT_EQ(s->Billboard().Line(1), "2|new?3");
    EXPECT_EQ(s->Billboard().Line(2), "3|three");
}

TEST(InfoPad, LinesAreParsedShortenedClearedAndRangeChecked) {
    EXPECT_EQ(TInfoPad::Parse("just a value").Caption, "Noname info");
    EXPECT_EQ(TInfoPad::Parse("just a value").Value, "just a value");
    EXPECT_EQ(TInfoPad::Parse("|after bar").Caption, "Noname info");
    EXPECT_EQ(TInfoPad::Parse("|after bar").Value, "after bar");
    EXPECT_EQ(TInfoPad::Parse("a|b|c").Value, "b|c");
    EXPECT_EQ(TInfoPad::Parse("Thirteen char|v").Caption, "Thirteen char");
    EXPECT_EQ(TInfoPad::Parse("ABCDEFGHIJKLMNOP|v").Caption, "...GHIJKLMNOP");

    SectionTest t;
    auto s = t.Make();
    EXPECT_EQ(s->InfoPad().Line(1).Caption, "1st Info Line");
    s->SetInfoLine(2, "Memory|12 MB");
    EXPECT_EQ(s->InfoPad().Line(2).Caption, "Memory");
    EXPECT_EQ(s->InfoPad().Line(2).Value, "12 MB");
    for (int32_t index : {0, 4, 255})
        s->SetInfoLine(index, "X|changed");
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(s->InfoPad().Line(i).Value, "changed");

    // A line number that does not fit a byte is a range error, paused or not.
    EXPECT_THROW(s->SetInfoLine(256, "X|y"), ERangeError);
    EXPECT_THROW(s->SetInfoLine(-1, "X|y"), ERangeError);
    s->act_Pause(true);
    EXPECT_THROW(s->SetInfoLine(70000, "X|y"), ERangeError);
    EXPECT_EQ(s->InfoPad().Line(2).Value, "12 MB");

    s->mnu_ClearInfoPadClick();
    const char* cleared[] = {"1st Infoline", "2nd Infoline", "3rd Infoline"};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(s->InfoPad().Line(i).Caption, cleared[i - 1]);
        EXPECT_EQ(s->InfoPad().Line(i).Value, "");
    }
}

TEST(Billboard, ClientLinesArrivingWhileAnInputBoxIsOpen) {
    SectionTest t;
    TBusyDialogs box;
    auto s = t.Make("Client 1", &box);
    s->AddMessage("one");
    s->AddMessage("two|2");

    // A client line takes the selection meanwhile; the edit still goes to the
    // line the user chose.
    s->SelectMessage(0);
    box.WhileOpen = [&] { s->AddMessage("three"); };
    box.InputAnswers.push_back("edited");
    s->mnu_EditMessageClick();
    EXPECT_EQ(s->Billboard().Line(0), "1|edited");
    EXPECT_EQ(s->Billboard().Line(2), "3|three");

    s->SelectMessage(1);
    box.WhileOpen = [&] { s->AddMessage("four"); };
    box.InputAnswers.push_back("inserted");
    s->mnu_InsertMessageClick();
    EXPECT_EQ(s->Billboard().Line(1), "2|inserted");
    EXPECT_EQ(s->Billboard().Line(4), "5|four");
    EXPECT_EQ(s->Billboard().Selected(), 4u); // still on "four"

    // Cancelling the edit of a client line keeps its bars.
    s->SelectMessage(2);
    s->mnu_EditMessageClick();
    EXPECT_EQ(box.Inputs.back().Default, "two|2");
    EXPECT_EQ(s->Billboard().Line(2), "3|two|2");

    // A client's clear takes the line away: the answer is dropped.
    for (auto command :
         {&TSectionCore::mnu_EditMessageClick, &TSectionCore::mnu_InsertMessageClick}) {
        s->SelectMessage(0);
        box.WhileOpen = [&] {
            s->ClearMessages();
            s->AddMessage("fresh");
        };
        box.InputAnswers.push_back("lost");
        ((*s).*command)();
        ASSERT_EQ(s->Billboard().Count(), 1u);
        EXPECT_EQ(s->Billboard().Line(0), "1|fresh");
    }
}
