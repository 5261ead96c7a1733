#include "SessionTestSupport.h"
#include "sessionlog/SessionImage.h"
#include "sessionlog/SessionNames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vx;
using namespace vxtest;

namespace {

// A file of three blocks: 10 rows, 10 rows, then 6 rows of incompressible
// data that the writer keeps stored. Remembers where each block starts and
// where each record of the stored block ends.
struct TTestFile {
    std::string Path;
    std::vector<TRowCopy> Rows;
    std::vector<uint64_t> FrameStarts, FrameEnds;
    std::vector<size_t> RowsBefore;   // rows in the blocks before each block
    std::vector<uint64_t> StoredEnds; // file offset after each record of the last block
    std::string Bytes;

    explicit TTestFile(const std::string& path) : Path(path) {
        TSessionWriter w;
        EXPECT_TRUE(w.Create(path, 46001.0));
        auto block = [&](std::vector<TRowCopy> rows) {
            FrameStarts.push_back(w.BytesWritten());
            RowsBefore.push_back(Rows.size());
            for (auto& r : rows) {
                EXPECT_TRUE(w.AppendRow(View(r)));
                Rows.push_back(r);
            }
            EXPECT_TRUE(w.Flush(false));
            FrameEnds.push_back(w.BytesWritten());
        };
        std::vector<TRowCopy> a, b, c;
        for (size_t i = 0; i < 10; ++i)
            a.push_back(TestRow(i)), b.push_back(TestRow(10 + i));
        for (size_t i = 0; i < 6; ++i)
            c.push_back(TestRow(4 * i + 3));
        block(a);
        block(b);
        block(c);
        EXPECT_TRUE(w.Close());
        uint64_t end = FrameStarts.back() + sessionfile::kFrameHeaderSize;
        for (auto& r : c) {
            std::vector<uint8_t> one;
            TRecordEncoder(one).Row(View(r));
            end += one.size();
            StoredEnds.push_back(end);
        }
        EXPECT_EQ(end, FrameEnds.back()) << "the last block must be stored as it is";
        Bytes = ReadBytes(path);
    }
};

void ExpectPrefix(const std::vector<TRowCopy>& got, const std::vector<TRowCopy>& all) {
    ASSERT_LE(got.size(), all.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], all[i]) << "row " << i;
}

} // namespace

TEST(SessionFile, ReplaysEveryFieldEditAndLineIntoARowStore) {
    TScratch s;
    const std::string path = s.Path("a.vxs");
    TSessionWriter w;
    ASSERT_TRUE(w.Create(path, 46000.5));
    w.Identity("App\x01 1\xFF", "C:\\Apps\\A\xE9.exe", "Main");
    w.Level("Medium");
    w.Level("High");
    std::vector<TRowCopy> expect;
    for (size_t i = 0; i < 3000; ++i) { // several blocks
        expect.push_back(TestRow(i));
        ASSERT_TRUE(w.AppendRow(View(expect.back())));
        if (i == 1000) {
            ASSERT_TRUE(w.Flush(false));
        }
    }
    TRowCopy note = TestRow(5);
    note.Kind = dkNote;
    w.InsertRow(0, View(note));
    expect.insert(expect.begin(), note);
    w.EditRow(5, "edited \x80\x7F");
    expect[5].Text = "edited \x80\x7F";
    w.DeleteRow(7);
    expect.erase(expect.begin() + 7);
    w.DeleteRow(99999); // no such row: ignored on reading
    w.Message("1|first");
    w.Billboard({"1|only", "2|x|y"});
    w.Message("3|last");
    w.InfoLine(2, "Queue", "12|3");
    w.ClearInfoPad();
    w.InfoLine(3, "Errors", "");
    const uint64_t written = w.Records();
    ASSERT_TRUE(w.Close());

    TSessionImage img;
    TSessionScan scan = LoadSession(path, img);
    EXPECT_TRUE(scan.Whole) << scan.Error;
    EXPECT_EQ(scan.Records, written);
    EXPECT_EQ(scan.StopOffset, ReadBytes(path).size());
    EXPECT_EQ(scan.Created, 46000.5);
    EXPECT_EQ(img.ClientID, "App\x01 1\xFF");
    EXPECT_EQ(img.ApplicationName, "C:\\Apps\\A\xE9.exe");
    EXPECT_EQ(img.Caption, "Main");
    EXPECT_EQ(img.LevelText, "High");
    ASSERT_EQ(img.Rows.Count(), expect.size());
    for (size_t i = 0; i < expect.size(); ++i)
        ASSERT_EQ(Copy(img.Rows.Row(i)), expect[i]) << "row " << i;
    EXPECT_EQ(img.Rows.DataBytes() > 0, true);
    EXPECT_EQ(img.Billboard, (std::vector<std::string>{"1|only", "2|x|y", "3|last"}));
    TInfoPad cleared;
    cleared.Clear();
    EXPECT_EQ(img.Info[0].Caption, cleared.Line(1).Caption);
    EXPECT_EQ(img.Info[1].Value, "");
    EXPECT_EQ(img.Info[2].Caption, "Errors");
    EXPECT_EQ(img.Ignored, 1u);
}

TEST(SessionFile, ATornFileKeepsEveryRecordBeforeTheCut) {
    TScratch s;
    TTestFile file(s.Path("full.vxs"));
    const std::string cut = s.Path("cut.vxs");
    size_t last = 0;
    for (size_t len = 0; len <= file.Bytes.size(); ++len) {
        WriteBytes(cut, file.Bytes.substr(0, len));
        std::vector<TRowCopy> rows;
        TSessionScan scan = ReadRows(cut, rows);
        SCOPED_TRACE("cut at " + std::to_string(len));
        ExpectPrefix(rows, file.Rows);
        EXPECT_GE(rows.size(), last) << "a longer file never gives fewer records";
        last = rows.size();
        bool atBoundary = len == sessionfile::kHeaderSize;
        for (size_t k = 0; k < file.FrameEnds.size(); ++k) {
            atBoundary |= len == file.FrameEnds[k];
            if (len >= file.FrameEnds[k]) {
                EXPECT_GE(rows.size(), file.RowsBefore[k] + (k == 2 ? 6 : 10));
            }
        }
        EXPECT_EQ(scan.Whole, atBoundary);
        if (!scan.Whole) {
            EXPECT_FALSE(scan.Error.empty());
            EXPECT_LE(scan.StopOffset, len);
        }
        // In the stored block, every record that ends before the cut is kept.
        if (len > file.FrameStarts[2]) {
            size_t whole = 0;
            for (uint64_t e : file.StoredEnds)
                whole += e <= len;
            EXPECT_EQ(rows.size(), 20 + whole);
            if (!scan.Whole) {
                EXPECT_EQ(scan.StopOffset, file.FrameStarts[2]);
            }
        }
    }
}

TEST(SessionFile, ADamagedByteStopsReadingAtItsBlock) {
    TScratch s;
    TTestFile file(s.Path("full.vxs"));
    const std::string bad = s.Path("bad.vxs");
    for (size_t at = 0; at < file.Bytes.size(); ++at) {
        std::string bytes = file.Bytes;
        bytes[at] ^= 0x55;
        WriteBytes(bad, bytes);
        std::vector<TRowCopy> rows;
        TSessionScan scan = ReadRows(bad, rows);
        SCOPED_TRACE("byte " + std::to_string(at));
        ExpectPrefix(rows, file.Rows);
        if (scan.Whole) { // a flip in the unused bits at the end of a deflate stream
            EXPECT_EQ(rows.size(), file.Rows.size());
            continue;
        }
        size_t k = 0;
        while (k + 1 < file.FrameStarts.size() && file.FrameStarts[k + 1] <= at)
            ++k;
        if (at < sessionfile::kHeaderSize) {
            EXPECT_EQ(scan.StopOffset, 0u);
            EXPECT_TRUE(rows.empty());
        } else {
            EXPECT_EQ(scan.StopOffset, file.FrameStarts[k]);
            EXPECT_GE(rows.size(), file.RowsBefore[k]);
        }
    }
}

namespace {

std::string U32(uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

std::string FileHeader() {
    uint8_t h[sessionfile::kHeaderSize] = {};
    std::memcpy(h, sessionfile::kMagic, 8);
    PutU16(h + 8, sessionfile::kVersion);
    PutU16(h + 10, uint16_t(sessionfile::kHeaderSize));
    PutU32(h + 28, Crc32(h, 28));
    return std::string(reinterpret_cast<char*>(h), sizeof h);
}

// A frame header with a good checksum over whatever sizes it is given.
std::string FrameHeader(uint8_t method, uint32_t stored, uint32_t raw, uint32_t count) {
    std::string h = std::string(sessionfile::kFrameMagic, 4) + char(method) + std::string(3, '\0') +
                    U32(stored) + U32(raw) + U32(count);
    return h + U32(Crc32(h.data(), h.size()));
}

// A stored block holding one record with the given payload and a good checksum.
std::string StoredRecord(const std::string& payload, uint32_t length) {
    std::string rec = U32(length) + payload + U32(Crc32(payload.data(), payload.size()));
    return FrameHeader(sessionfile::kStored, uint32_t(rec.size()), uint32_t(rec.size()), 1) + rec;
}

} // namespace

TEST(SessionFile, LengthsAndCountsAreNeverTrusted) {
    TScratch s;
    const std::string path = s.Path("hostile.vxs");
    struct Case {
        const char* what;
        std::string body;
    } cases[] = {
        {"4 GB block", FrameHeader(sessionfile::kDeflated, 0xFFFFFFF0u, 0xFFFFFFFFu, 1)},
        {"more records than bytes",
         FrameHeader(sessionfile::kStored, 90, 90, 11) + std::string(90, 0)},
        {"60 MB block in a short file",
         FrameHeader(sessionfile::kDeflated, 60000000u, 60000000u, 1) + std::string(100, 'x')},
        {"record longer than its block",
         StoredRecord(std::string(1, char(srLevel)) + '\x01' + 'H', 0x7FFFFFFFu)},
        {"billboard of 268 million lines",
         StoredRecord(std::string(1, char(srBillboard)) + "\xFF\xFF\xFF\x7F" + '\x01' + 'x', 7)},
        {"string past its record",
         StoredRecord(std::string(1, char(srLevel)) + "\x90\x01" + "ab", 5)},
        {"varint of 6 bytes",
         StoredRecord(std::string(1, char(srDeleteRow)) + "\xFF\xFF\xFF\xFF\xFF\x01", 7)},
    };
    for (const Case& c : cases) {
        WriteBytes(path, FileHeader() + c.body);
        std::vector<TRowCopy> rows;
        TSessionScan scan = ReadRows(path, rows);
        EXPECT_FALSE(scan.Whole) << c.what;
        EXPECT_EQ(scan.StopOffset, sessionfile::kHeaderSize) << c.what;
        EXPECT_EQ(scan.Records, 0u) << c.what;
        EXPECT_FALSE(scan.Error.empty()) << c.what;
    }
    WriteBytes(path, "VXSESS\r\n");
    std::vector<TRowCopy> none;
    EXPECT_FALSE(ReadRows(path, none).Whole);
}

TEST(SessionFile, FileNamesAreSafeAndKeepDistinctClientsApart) {
    TDateTime day = 46365.75; // 2026-12-09 18:00
    EXPECT_EQ(SessionFileName("Inventory-1832", day), "Inventory-1832 2026-12-09.vxs");
    EXPECT_EQ(SessionFileName("Inventory-1832", day, 2), "Inventory-1832 2026-12-09 (2).vxs");
    for (std::string id :
         {std::string("a/b"), std::string("a\\b"), std::string("..\\..\\x"), std::string("c:x"),
          std::string("tab\there"), std::string("nul\0x", 5), std::string("caf\xE9"),
          std::string("end. "), std::string(".hidden"), std::string(500, 'L'), std::string()}) {
        std::string stem = SafeFileStem(id);
        EXPECT_FALSE(stem.empty());
        EXPECT_LE(stem.size(), kMaxStem + 12) << id;
        EXPECT_NE(stem.front(), '.');
        EXPECT_NE(stem.back(), '.');
        EXPECT_NE(stem.back(), ' ');
        for (unsigned char c : stem)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F && !std::strchr("<>:\"/\\|?*", c)) << id;
    }
    for (const char* dev : {"CON", "nul", "Com1", "LPT9", "aux.log", "PRN .x"})
        EXPECT_EQ(SafeFileStem(dev)[0], '_') << dev;
    EXPECT_EQ(SafeFileStem("COM10"), "COM10");
    EXPECT_NE(SafeFileStem("a/b"), SafeFileStem("a\\b"));
    EXPECT_NE(SafeFileStem(std::string(70, 'x') + "1"), SafeFileStem(std::string(70, 'x') + "2"));
}
