// The client record decoder, fed any block a process can send with
// WM_COPYDATA: the first four bytes are the message's wParam, the rest the
// delivered block. A decoded record must stay within its capacities and
// encode back to a block that decodes to the same record.
#include "protocol/Common_Types.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace vx;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        Check(!DecodePacket(0, data, size));
        return 0;
    }
    uint32_t wParam;
    std::memcpy(&wParam, data, 4);
    // A copy of exactly the delivered bytes, so a read past them is caught.
    std::vector<uint8_t> block(data + 4, data + size);
    auto d = DecodePacket(wParam, block.empty() ? nullptr : block.data(), block.size());
    if (block.size() < packet::FixedSize) {
        Check(!d);
        return 0;
    }
    Check(d.has_value());
    const TDebugInfoRec& r = d->Rec;
    Check(d->ClientID.size() <= packet::ClientIDCapacity);
    Check(r.Text.size() <= packet::StringCapacity && r.ProcName.size() <= packet::StringCapacity &&
          r.UnitName.size() <= packet::StringCapacity);
    Check(r.DataSize >= 0 && size_t(r.DataSize) <= block.size() - packet::FixedSize);
    Check((r.DataSize > 0) == bool(r.Data));
    (void)KindName(r.Kind);
    (void)LevelName(r.Level);
    (void)KindImageIndex(r.Kind);

    TPacketFields f;
    f.ClientID = d->ClientID;
    f.Group = r.Group;
    f.Text = r.Text;
    f.InfoLine = r.InfoLine;
    f.Level = r.Level;
    f.Time = r.Time;
    f.ProcName = r.ProcName;
    f.UnitName = r.UnitName;
    f.LineNumber = r.LineNumber;
    if (r.DataSize > 0)
        f.Data.assign(reinterpret_cast<const char*>(r.Data.get()), size_t(r.DataSize));
    std::string again = EncodePacket(f);
    auto e = DecodePacket(wParam, again.data(), again.size());
    Check(e.has_value() && !e->DataCut);
    Check(e->ClientID == d->ClientID && e->Rec.Text == r.Text && e->Rec.ProcName == r.ProcName &&
          e->Rec.UnitName == r.UnitName && e->Rec.Group == r.Group && e->Rec.Level == r.Level &&
          e->Rec.InfoLine == r.InfoLine && e->Rec.LineNumber == r.LineNumber &&
          SameBits(e->Rec.Time, r.Time) && e->Rec.Kind == r.Kind && e->Rec.DataSize == r.DataSize);
    if (r.DataSize > 0)
        Check(std::memcmp(e->Rec.Data.get(), r.Data.get(), size_t(r.DataSize)) == 0);
    return 0;
}
