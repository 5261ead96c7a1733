// A scratch folder per test, and a session of known records to write and read back.
#pragma once

#include "sessionlog/SessionReader.h"
#include "sessionlog/SessionWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vxtest {

using namespace vx;

struct TScratch {
    std::string Dir;
    TScratch() {
        char tmpl[] = "/tmp/vx_sessionlog_XXXXXX";
        Dir = mkdtemp(tmpl);
    }
    ~TScratch() { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Path(const std::string& name) const { return Dir + "/" + name; }
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}
// Rewriting a file in place makes ext4 flush it to the disk on close, which
// costs milliseconds; a file that is new each time does not.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::remove(path.c_str());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A row record as the reader hands it out, kept as plain values.
struct TRowCopy {
    uint8_t Group = 0, Kind = 0;
    std::string Text, UnitName, ProcName, Data;
    double Time = 0;
    int32_t LineNumber = 0, DataSize = 0;
    bool operator==(const TRowCopy&) const = default;
};
inline TRowCopy Copy(const TDebugRowView& v) {
    return {v.Group,
            v.Kind,
            std::string(v.Text),
            std::string(v.UnitName),
            std::string(v.ProcName),
            v.Data ? std::string(reinterpret_cast<const char*>(v.Data), size_t(v.DataSize)) : "",
            v.Time,
            v.LineNumber,
            v.DataSize};
}

// Row i of the test session: every field varies, texts use every byte value,
// and rows with i % 4 == 3 carry incompressible data.
inline TRowCopy TestRow(size_t i) {
    TRowCopy r;
    r.Group = uint8_t(i % 5); // 4: a group the viewer does not know
    r.Kind = uint8_t(14 + i % 19);
    for (size_t k = 0; k < 20 + i % 40; ++k)
        r.Text += char((i * 7 + k * 13) & 0xFF);
    r.UnitName = "Unit" + std::to_string(i % 3);
    r.ProcName = i % 2 ? "" : "TForm\xE9.Proc" + std::to_string(i % 5);
    r.Time = 46000.25 + double(i) / 86400.0;
    r.LineNumber = int32_t(i % 7) - 3;
    if (i % 4 == 3) {
        uint32_t x = uint32_t(i) * 2654435761u;
        for (int k = 0; k < 300; ++k) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            r.Data += char(x);
        }
    } else if (i % 4 == 1) {
        r.Data = std::string("a\0b\r\n", 5);
    }
    r.DataSize = int32_t(r.Data.size());
    return r;
}

inline TDebugRowView View(const TRowCopy& r) {
    TDebugRowView v;
    v.Group = r.Group;
    v.Kind = r.Kind;
    v.Text = r.Text;
    v.Time = r.Time;
    v.UnitName = r.UnitName;
    v.ProcName = r.ProcName;
    v.LineNumber = r.LineNumber;
    v.DataSize = r.DataSize;
    v.Data = r.Data.empty() ? nullptr : reinterpret_cast<const uint8_t*>(r.Data.data());
    return v;
}

// Reads every row record of a file.
inline TSessionScan ReadRows(const std::string& path, std::vector<TRowCopy>& rows) {
    rows.clear();
    return ReadSession(path, [&](const TSessionRecord& r) {
        if (r.Type == srRow) rows.push_back(Copy(r.Row));
    });
}

} // namespace vxtest
