// Writes the seed inputs of the packet and session targets, which need the
// program's own encoders: make-corpus.sh runs it once, and its files are
// committed. Usage: fuzz_seeds <tests/fuzz folder>
#include "protocol/Common_Types.h"
#include "sessionlog/SessionFormat.h"
#include "sessionlog/SessionWriter.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace vx;
using namespace vx::sessionfile;

namespace {

void Save(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string WithWParam(uint32_t wParam, const std::string& block) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &wParam, 4);
    return s + block;
}

void Records(std::vector<uint8_t>& out) {
    TRecordEncoder e(out);
    e.Identity("Client1", "Demo.exe", "Demo");
    e.Level("High");
    TDebugRowView row;
    row.Kind = dkString;
    row.Group = dgWarning;
    row.Text = "disk almost full";
    row.UnitName = "Main";
    row.ProcName = "Save";
    row.LineNumber = -12;
    row.Time = 46000.25;
    static const uint8_t data[] = {1, 2, 3, 0, 'x'};
    row.Data = data;
    row.DataSize = sizeof data;
    e.Row(row);
    e.InsertRow(0, row);
    e.EditRow(1, "edited");
    e.DeleteRow(0);
    e.Message("a line");
    e.Billboard(std::vector<std::string>{"one", "two"});
    e.InfoLine(2, "Caption", "value");
    e.ClearInfoPad();
    e.ClearRows();
}

// A file for the harness's repairing mode: its first byte is odd, and its
// blocks hold raw records, which the harness compresses and checks.
std::string RepairableFile(uint8_t method) {
    std::string file(1, '\x01');
    uint8_t h[kHeaderSize] = {};
    std::memcpy(h, kMagic, 8);
    PutU16(h + 8, kVersion);
    PutU16(h + 10, kHeaderSize);
    file.append(reinterpret_cast<char*>(h), sizeof h);
    std::vector<uint8_t> raw;
    Records(raw);
    uint8_t f[kFrameHeaderSize] = {'V', 'X', 'B', 'K', method};
    PutU32(f + 12, uint32_t(raw.size()));
    file.append(reinterpret_cast<char*>(f), sizeof f);
    file.append(raw.begin(), raw.end());
    return file;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <tests/fuzz folder>\n");
        return 2;
    }
    const std::string root = argv[1];

    TPacketFields p;
    p.ClientID = "Client1";
    p.Group = dgError;
    p.Text = "Something failed";
    p.InfoLine = 2;
    p.Level = dlHigh;
    p.Time = 46000.5;
    p.ProcName = "TForm1.Button1Click";
    p.UnitName = "Unit1";
    p.LineNumber = 42;
    Save(root + "/packet/corpus/string", WithWParam(dkString, EncodePacket(p)));
    p.Data = std::string("\x00\x01\x02\x03hello\xFF", 10);
    Save(root + "/packet/corpus/memory-dump", WithWParam(dkMemoryDump, EncodePacket(p)));
    std::string cut = EncodePacket(p);
    cut.resize(cut.size() - 4); // announces more data than it delivers
    Save(root + "/packet/corpus/cut-data", WithWParam(dkMemoryDump | 0x100, cut));
    Save(root + "/packet/corpus/short", WithWParam(dkConnect, EncodePacket(p).substr(0, 400)));

    // A file as the writer makes it (deflated blocks), read as it stands.
    const std::string written = root + "/session/corpus/.written";
    std::remove(written.c_str());
    {
        TSessionWriter w;
        if (!w.Create(written, 46000.0)) return 1;
        w.Identity("Client1", "Demo.exe", "Demo");
        TDebugInfoRec rec;
        rec.Kind = dkNote;
        rec.Text = "hello";
        w.AppendRow(RowView(rec));
        w.InfoLine(1, "Count", "3");
        w.Message("billboard line");
        w.Close();
    }
    std::FILE* in = std::fopen(written.c_str(), "rb");
    std::string bytes(1, '\0');
    char buf[4096];
    for (size_t n; in && (n = std::fread(buf, 1, sizeof buf, in)) > 0;)
        bytes.append(buf, n);
    if (in) std::fclose(in);
    std::remove(written.c_str());
    Save(root + "/session/corpus/written", bytes);
    Save(root + "/session/corpus/repair-stored", RepairableFile(kStored));
    Save(root + "/session/corpus/repair-deflated", RepairableFile(kDeflated));
    return 0;
}
