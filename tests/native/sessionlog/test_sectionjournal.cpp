// A section logged through its journal while the history limit drops rows.
#include "SessionTestSupport.h"
#include "native/sections/SectionFixture.h"
#include "sessionlog/SectionJournal.h"
#include "sessionlog/SessionImage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
using namespace vxtest;

namespace {

std::vector<std::string> Texts(const TDebugRowStore& rows) {
    std::vector<std::string> t;
    for (size_t i = 0; i < rows.Count(); ++i)
        t.emplace_back(rows.Text(i));
    return t;
}

} // namespace

// Edits and deletes of rows that remain land on the same rows in the file,
// although the file holds the dropped rows before them.
TEST(SectionJournal, TheFileKeepsRowsTheHistoryLimitDropped) {
    TScratch dir;
    SectionTest t;
    auto s = t.Make("App");
    s->SetHistoryLimit(64);
    TSectionJournal journal;
    ASSERT_TRUE(journal.Start(dir.Path("logs"), *s, 46365.5)) << journal.Error();
    s->SetJournal(&journal);

    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i) {
        t.Add(*s, "row " + std::to_string(i));
        expected.push_back("row " + std::to_string(i));
    }
    EXPECT_LE(s->RowCount(), 64u);
    EXPECT_EQ(s->DroppedRows() + s->RowCount(), 200u);
    EXPECT_EQ(t.Host.Panels[2], std::to_string(s->RowCount()) + " messages (" +
                                    std::to_string(s->DroppedRows()) + " dropped)");
    const size_t dropped = s->DroppedRows();
    ASSERT_EQ(s->Rows().Text(0), expected[dropped]);

    s->FocusRow(1);
    t.Answer("edited");
    s->mnu_EditInfoClick();
    expected[dropped + 1] = "edited";
    s->FocusRow(2);
    s->mnu_DeleteInfoClick();
    expected.erase(expected.begin() + ptrdiff_t(dropped + 2));
    s->FocusRow(3);
    t.Answer("note");
    s->mnu_InsertNoteClick();
    expected.insert(expected.begin() + ptrdiff_t(dropped + 3), "note");
    // The dispatcher sets the level as a field; the file hears of it with the next row.
    s->LevelText = "High";
    t.Add(*s, "last");
    expected.push_back("last");
    journal.Tick(*s, 46365.51);

    TSessionImage img;
    EXPECT_TRUE(LoadSession(journal.Path(), img).Whole);
    EXPECT_EQ(Texts(img.Rows), expected);
    EXPECT_EQ(img.LevelText, "High");
    std::vector<std::string> kept(expected.end() - ptrdiff_t(s->RowCount()), expected.end());
    EXPECT_EQ(Texts(s->Rows()), kept);
}

// A log that cannot be written stops for its section, says why once, and the
// section goes on taking rows.
TEST(SectionJournal, AFailedLogIsToldOnceAndTheSectionCarriesOn) {
    TScratch dir;
    SectionTest t;
    auto s = t.Make("App");
    WriteBytes(dir.Path("taken"), "a file where the folder should be");
    TSectionJournal journal;
    std::vector<std::string> told;
    journal.OnFailed = [&](const std::string& why) { told.push_back(why); };
    EXPECT_FALSE(journal.Start(dir.Path("taken"), *s, 46365.5));
    s->SetJournal(&journal);
    for (int i = 0; i < 5; ++i)
        t.Add(*s, "row");
    journal.Tick(*s, 46365.6);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("taken"), std::string::npos) << told[0];
    EXPECT_EQ(s->RowCount(), 5u);
}
