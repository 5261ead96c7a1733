#include "protocol/Common_Types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace vx;

namespace {

std::string Block(size_t size = packet::FixedSize) {
    return std::string(size, '\0');
}

void PutString(std::string& b, size_t off, const std::string& s, uint8_t len) {
    b[off] = char(len);
    std::memcpy(&b[off + 1], s.data(), s.size());
}

void PutInt(std::string& b, size_t off, int32_t v) {
    std::memcpy(&b[off], &v, 4);
}

} // namespace

TEST(Decode, ReadsEveryFieldAtItsOffset) {
    std::string b = Block(packet::FixedSize + 5);
    PutString(b, packet::ClientID, "client-A", 8);
    b[packet::Group] = 2;
    PutString(b, packet::Text, "hello", 5);
    PutInt(b, packet::InfoLine, 3);
    b[packet::Level] = 1;
    double t = 45000.25;
    std::memcpy(&b[packet::Time], &t, 8);
    PutString(b, packet::ProcName, "TForm1.Click", 12);
    PutString(b, packet::UnitName, "Unit1", 5);
    PutInt(b, packet::LineNumber, 42);
    PutInt(b, packet::DataSize, 5);
    std::memcpy(&b[packet::FixedSize], "ab\0cd", 5);
    // Bytes after a string's length are not part of it.
    b[packet::Text + 6] = 'X';

    auto d = DecodePacket(0x0E, b.data(), b.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->ClientID, "client-A");
    const TDebugInfoRec& r = d->Rec;
    EXPECT_EQ(r.Kind, 14);
    EXPECT_EQ(r.Group, 2);
    EXPECT_EQ(r.Text, "hello");
    EXPECT_EQ(r.InfoLine, 3);
    EXPECT_EQ(r.Level, 1);
    EXPECT_DOUBLE_EQ(r.Time, 45000.25);
    // The wire has the procedure before the unit; the record keeps them apart.
    EXPECT_EQ(r.ProcName, "TForm1.Click");
    EXPECT_EQ(r.UnitName, "Unit1");
    EXPECT_EQ(r.LineNumber, 42);
    ASSERT_EQ(r.DataSize, 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.Data.get()), 5), std::string("ab\0cd", 5));
    EXPECT_FALSE(d->DataCut);
}

TEST(Decode, KindIsTheLowByteOfWParam) {
    std::string b = Block();
    EXPECT_EQ(DecodePacket(0x108, b.data(), b.size())->Rec.Kind, 8);
    EXPECT_EQ(DecodePacket(0xFFFFFF21, b.data(), b.size())->Rec.Kind, 33);
}

TEST(Decode, ClientIdKeepsAtMostFiftyCharacters) {
    std::string b = Block();
    std::string id(60, 'x');
    id.replace(50, 10, "0123456789");
    // The length byte claims 255, more than the field holds: only 50 count,
    // and the bytes after the field (the group, the text) are not taken.
    PutString(b, packet::ClientID, id.substr(0, 50), 255);
    b[packet::Group] = 'G';
    auto d = DecodePacket(14, b.data(), b.size());
    EXPECT_EQ(d->ClientID, std::string(50, 'x'));
}

TEST(Decode, HostileLengthsStayInsideTheBlock) {
    std::string b = Block();
    for (size_t off : {packet::Text, packet::ProcName, packet::UnitName})
        b[off] = char(255);
    b[packet::ClientID] = char(255);
    PutInt(b, packet::DataSize, 0x7FFFFFFF);
    auto d = DecodePacket(14, b.data(), b.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Rec.Text.size(), 255u);
    EXPECT_EQ(d->Rec.UnitName.size(), 255u);
    EXPECT_EQ(d->Rec.ProcName.size(), 255u);
    // Nothing was delivered after the fixed part, so there is no data at all.
    EXPECT_EQ(d->Rec.DataSize, 0);
    EXPECT_EQ(d->Rec.Data, nullptr);
    EXPECT_TRUE(d->DataCut);

    // Attached data longer than the block is cut to what was delivered.
    std::string c = Block(packet::FixedSize + 3);
    PutInt(c, packet::DataSize, 1000);
    std::memcpy(&c[packet::FixedSize], "xyz", 3);
    auto e = DecodePacket(26, c.data(), c.size());
    ASSERT_EQ(e->Rec.DataSize, 3);
    EXPECT_EQ(std::memcmp(e->Rec.Data.get(), "xyz", 3), 0);
    EXPECT_TRUE(e->DataCut);
}

TEST(Decode, ZeroOrNegativeDataSizeCarriesNoData) {
    for (int32_t size : {0, -1, int32_t(0x80000000)}) {
        std::string b = Block(packet::FixedSize + 8);
        PutInt(b, packet::DataSize, size);
        auto d = DecodePacket(14, b.data(), b.size());
        ASSERT_TRUE(d) << size;
        EXPECT_EQ(d->Rec.DataSize, 0) << size;
        EXPECT_EQ(d->Rec.Data, nullptr) << size;
        EXPECT_FALSE(d->DataCut);
    }
}

TEST(Decode, ShortOrMissingBlocksAreDropped) {
    std::string b = Block();
    EXPECT_FALSE(DecodePacket(14, nullptr, 852));
    EXPECT_FALSE(DecodePacket(14, b.data(), 0));
    EXPECT_FALSE(DecodePacket(14, b.data(), 851));
    EXPECT_TRUE(DecodePacket(14, b.data(), 852));
}

TEST(Encode, RoundTripsThroughDecode) {
    TPacketFields f;
    f.ClientID = std::string(70, 'c');
    f.Group = 3;
    f.Text = std::string(300, 't');
    f.InfoLine = -7;
    f.Level = 2;
    f.Time = 46000.75;
    f.ProcName = "P";
    f.UnitName = "U";
    f.LineNumber = 1234;
    f.Data = std::string("\x01\x00\x02", 3);
    std::string b = EncodePacket(f);
    ASSERT_EQ(b.size(), packet::FixedSize + 3);
    auto d = DecodePacket(dkException, b.data(), b.size());
    EXPECT_EQ(d->ClientID, std::string(50, 'c'));
    EXPECT_EQ(d->Rec.Text, std::string(255, 't'));
    EXPECT_EQ(d->Rec.InfoLine, -7);
    EXPECT_EQ(d->Rec.ProcName, "P");
    EXPECT_EQ(d->Rec.UnitName, "U");
    EXPECT_EQ(d->Rec.DataSize, 3);
    EXPECT_EQ(d->Rec.Data[2], 2);
}

TEST(Names, KindNamesFollowTheTopBitRule) {
    EXPECT_STREQ(KindName(0), "Unknown");
    EXPECT_STREQ(KindName(1), "Start");
    EXPECT_STREQ(KindName(7), "Debugger opened");
    EXPECT_STREQ(KindName(18), "Separator");
    EXPECT_STREQ(KindName(31), "Property");
    EXPECT_STREQ(KindName(32), "Unknown");
    EXPECT_STREQ(KindName(127), "Unknown");
    EXPECT_STREQ(KindName(128), "Unknown");
    EXPECT_STREQ(KindName(146), "Separator");
    EXPECT_STREQ(LevelName(1), "Medium");
    EXPECT_STREQ(LevelName(3), "");
}

TEST(Names, KindIcons) {
    EXPECT_EQ(KindImageIndex(14), 4);
    EXPECT_EQ(KindImageIndex(18), -1);
    EXPECT_EQ(KindImageIndex(27), 29);
    EXPECT_EQ(KindImageIndex(30), 29);
    EXPECT_EQ(KindImageIndex(32), 31);
    EXPECT_EQ(KindImageIndex(13), -1);
    EXPECT_EQ(KindImageIndex(33), -1);
}
