#include "SessionTestSupport.h"
#include "native/sections/SectionFixture.h"
#include "sessionlog/SectionLog.h"
#include "sessionlog/SessionImage.h"
#include "sessionlog/SessionNames.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

using namespace vx;
using namespace vxtest;

namespace {

void ExpectSameSection(const TSessionImage& img, const TSectionCore& s) {
    EXPECT_EQ(img.ClientID, s.ClientID);
    EXPECT_EQ(img.ApplicationName, s.ApplicationName);
    EXPECT_EQ(img.Caption, s.Caption);
    EXPECT_EQ(img.LevelText, s.LevelText);
    ASSERT_EQ(img.Rows.Count(), s.Rows().Count());
    for (size_t i = 0; i < s.Rows().Count(); ++i)
        EXPECT_EQ(Copy(img.Rows.Row(i)), Copy(s.Rows().Row(i))) << "row " << i;
    ASSERT_EQ(img.Billboard.size(), s.Billboard().Count());
    for (size_t i = 0; i < img.Billboard.size(); ++i)
        EXPECT_EQ(img.Billboard[i], s.Billboard().Line(i));
    for (int i = 1; i <= TInfoPad::kLines; ++i) {
        EXPECT_EQ(img.Info[i - 1].Caption, s.InfoPad().Line(i).Caption);
        EXPECT_EQ(img.Info[i - 1].Value, s.InfoPad().Line(i).Value);
    }
}

int RunVxlog(const std::string& args, std::string* out = nullptr) {
    std::string cmd = std::string(VXLOG_PATH) + " " + args;
    if (out) {
        FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r");
        char buf[4096];
        size_t n;
        out->clear();
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out->append(buf, n);
        return WEXITSTATUS(pclose(p));
    }
    return WEXITSTATUS(std::system((cmd + " >/dev/null 2>&1").c_str()));
}

} // namespace

TEST(SectionLog, EachDaysFileOpensToTheWholeSection) {
    TScratch dir;
    SectionTest t;
    auto s = t.Make("Inventory-1832 main");
    s->ApplicationName = "C:\\Apps\\Inventory.exe";
    s->Caption = "Main";
    s->LevelText = "Medium";
    TDebugInfoRec r = Rec("first \xE4", dgWarning, dkMemoryDump);
    Attach(r, std::string("\x00\x01\xFF", 3));
    r.UnitName = "uData";
    r.LineNumber = 77;
    s->AddDebugInfo(r, false);
    s->AddMessage("hello|world");
    s->SetInfoLine(2, "Queue|4");

    const TDateTime day = 46365.9;
    TSectionLog log;
    ASSERT_TRUE(log.Start(dir.Path("logs/today"), *s, day)) << log.Error();
    const std::string first = log.Path();
    EXPECT_EQ(first, dir.Path("logs/today/Inventory-1832 main 2026-12-09.vxs"));

    // Each change goes to the log right after the section made it.
    TDebugInfoRec r2 = Rec("second");
    s->AddDebugInfo(r2, false);
    EXPECT_TRUE(log.RowAdded(*s));
    TDebugInfoRec r3 = Rec("third");
    s->AddDebugInfo(r3, false);
    EXPECT_TRUE(log.RowAdded(*s));
    s->FocusRow(1);
    t.Answer("a note");
    s->mnu_InsertNoteClick();
    EXPECT_TRUE(log.RowInserted(*s, 1));
    s->FocusRow(0);
    t.Answer("edited \xFC");
    s->mnu_EditInfoClick();
    EXPECT_TRUE(log.RowEdited(*s, 0));
    s->FocusRow(2);
    s->mnu_DeleteInfoClick();
    EXPECT_TRUE(log.RowDeleted(2));
    s->AddMessage("more");
    EXPECT_TRUE(log.MessageAdded(*s));
    s->SetInfoLine(3, "Errors|0");
    EXPECT_TRUE(log.InfoLineChanged(*s, 3));
    ASSERT_EQ(s->RowCount(), 3u);
    ASSERT_EQ(s->Rows().Text(1), "a note");
    ASSERT_TRUE(log.Tick(*s, day + 0.01));
    {
        TSessionImage img;
        EXPECT_TRUE(LoadSession(first, img).Whole);
        ExpectSameSection(img, *s);
    }

    // Past midnight the log goes on in a new file that starts with the whole section.
    ASSERT_TRUE(log.Tick(*s, day + 0.2));
    EXPECT_EQ(log.Path(), dir.Path("logs/today/Inventory-1832 main 2026-12-10.vxs"));
    TSessionImage img;
    EXPECT_TRUE(LoadSession(log.Path(), img).Whole);
    ExpectSameSection(img, *s);

    // A second run on the same day never writes into the first run's file.
    const std::string before = ReadBytes(log.Path());
    TSectionLog again;
    ASSERT_TRUE(again.Start(dir.Path("logs/today"), *s, day + 0.3));
    EXPECT_EQ(again.Path(), dir.Path("logs/today/Inventory-1832 main 2026-12-10 (2).vxs"));
    EXPECT_TRUE(log.Stop());
    EXPECT_EQ(ReadBytes(dir.Path("logs/today/Inventory-1832 main 2026-12-10.vxs")), before);
}

TEST(SectionLog, AWriteFailureIsReportedAndStopsOnlyTheLog) {
    TScratch dir;
    SectionTest t;
    auto s = t.Make("App");
    WriteBytes(dir.Path("plainfile"), "x");
    TSectionLog log;
    EXPECT_FALSE(log.Start(dir.Path("plainfile/logs"), *s, 46365.5));
    EXPECT_NE(log.Error().find("plainfile"), std::string::npos) << log.Error();
    EXPECT_FALSE(log.Active());
    if (geteuid() != 0) { // the superuser writes into any folder
        ASSERT_EQ(mkdir(dir.Path("readonly").c_str(), 0555), 0);
        EXPECT_FALSE(log.Start(dir.Path("readonly"), *s, 46365.5));
        EXPECT_NE(log.Error().find("Cannot create the session log \"" + dir.Path("readonly/")),
                  std::string::npos)
            << log.Error();
    }

    // The disk fills up while the log runs (a file size limit stands in for it).
    ASSERT_TRUE(log.Start(dir.Path("logs"), *s, 46365.5)) << log.Error();
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    for (size_t i = 0; i < 2000 && !failed; ++i) {
        TRowCopy row = TestRow(4 * i + 3); // incompressible, so the limit is reached soon
        failed = !log.Writer().AppendRow(View(row)) || !log.Tick(*s, 46365.5);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(log.Writer().Failed());
    EXPECT_FALSE(log.Active());
    EXPECT_NE(log.Error().find("Cannot write the session log \"" + log.Path() + "\""),
              std::string::npos)
        << log.Error();
    EXPECT_FALSE(log.Writer().AppendRow(View(TestRow(0))));
    EXPECT_FALSE(log.Tick(*s, 46365.6));
    // What reached the disk still reads, up to where the disk gave out.
    std::vector<TRowCopy> rows;
    TSessionScan scan = ReadRows(log.Path(), rows);
    EXPECT_TRUE(scan.Opened);
    EXPECT_GT(scan.Records, 0u);
}

TEST(Vxlog, ExitsZeroOnlyForAWholeFileAndDumpsValidJson) {
    TScratch dir;
    const std::string path = dir.Path("s.vxs");
    {
        TSessionWriter w;
        ASSERT_TRUE(w.Create(path, 46365.5));
        w.Identity("id \"q\"\\", "app", "cap");
        TRowCopy row = TestRow(1);
        row.Text = "caf\xE9\x01\x7F";
        row.Data = "Ma\xFF";
        row.DataSize = 3;
        w.AppendRow(View(row));
        w.Billboard({"1|a"});
        ASSERT_TRUE(w.Close());
    }
    std::string out;
    EXPECT_EQ(RunVxlog("verify '" + path + "'", &out), 0);
    EXPECT_NE(out.find("3 good records, whole"), std::string::npos) << out;

    EXPECT_EQ(RunVxlog("dump '" + path + "'", &out), 0);
    EXPECT_NE(out.find("{\"Record\":\"identity\",\"ClientID\":\"id \\\"q\\\"\\\\\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"Text\":\"caf\\u00e9\\u0001\\u007f\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"DataSize\":3,\"Data\":\"TWH/\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"Lines\":[\"1|a\"]}\n"), std::string::npos) << out;
    EXPECT_EQ(RunVxlog("dump '" + dir.Dir + "'", &out), 0);
    EXPECT_NE(out.find("\"File\":\"s.vxs\""), std::string::npos) << out;

    std::string bytes = ReadBytes(path);
    WriteBytes(path, bytes.substr(0, bytes.size() - 3));
    EXPECT_EQ(RunVxlog("verify '" + path + "'", &out), 1);
    EXPECT_NE(out.find("bad tail from offset 32"), std::string::npos) << out;
    EXPECT_EQ(RunVxlog("dump '" + path + "'"), 1);
    EXPECT_EQ(RunVxlog("verify '" + dir.Path("missing.vxs") + "'"), 1);
    EXPECT_EQ(RunVxlog("verify"), 2);
    EXPECT_EQ(RunVxlog("frobnicate '" + path + "'"), 2);
}
