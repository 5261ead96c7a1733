// vxlog: reads the viewer's session files.
//   vxlog dump FILE|FOLDER   every record as one JSON line
//   vxlog verify FILE        the count of good records and where a bad tail starts
// Exit status: 0 when every file is whole, 1 when one has a bad tail or cannot
// be read, 2 when the command line is wrong.
#include "sessionlog/SessionFile.h"
#include "sessionlog/SessionNames.h"
#include "sessionlog/SessionReader.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

using namespace vx;

namespace {

const char kUsage[] =
    "usage: vxlog dump FILE|FOLDER\n"
    "       vxlog verify FILE\n"
    "dump prints each record of a session file (or of every session file in a\n"
    "folder) as one JSON line; verify prints how many records are good and where\n"
    "a bad tail starts. The exit status is 0 only when every file is whole.\n";

// Texts are 8-bit bytes of no known code page: every control byte and every
// byte from 0x80 up is written as \u00XX, so the line is valid JSON as it is.
void Quote(std::string& out, std::string_view s) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    out += '"';
}

void Base64(std::string& out, const uint8_t* p, size_t n) {
    static const char abc[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    out += '"';
    for (size_t i = 0; i < n; i += 3) {
        uint32_t v = uint32_t(p[i]) << 16;
        if (i + 1 < n) v |= uint32_t(p[i + 1]) << 8;
        if (i + 2 < n) v |= p[i + 2];
        out += abc[v >> 18];
        out += abc[(v >> 12) & 63];
        out += i + 1 < n ? abc[(v >> 6) & 63] : '=';
        out += i + 2 < n ? abc[v & 63] : '=';
    }
    out += '"';
}

void Field(std::string& out, const char* name) {
    out += ",\"";
    out += name;
    out += "\":";
}
void Text(std::string& out, const char* name, std::string_view s) {
    Field(out, name);
    Quote(out, s);
}
void Number(std::string& out, const char* name, long long v) {
    Field(out, name);
    out += std::to_string(v);
}

void Row(std::string& out, const TDebugRowView& r) {
    Number(out, "Group", r.Group);
    Number(out, "Kind", r.Kind);
    Text(out, "Text", r.Text);
    Field(out, "Time");
    if (std::isfinite(r.Time)) { // JSON has no NaN or infinity
        char t[40];
        std::snprintf(t, sizeof t, "%.17g", r.Time);
        out += t;
    } else {
        out += "null";
    }
    Text(out, "UnitName", r.UnitName);
    Text(out, "ProcName", r.ProcName);
    Number(out, "LineNumber", r.LineNumber);
    Number(out, "DataSize", r.DataSize);
    Field(out, "Data");
    Base64(out, r.Data, r.Data ? size_t(r.DataSize) : 0);
}

std::string Json(const TSessionRecord& r, const std::string* file) {
    std::string out = "{\"Record\":";
    Quote(out, RecordTypeName(r.Type));
    if (file) Text(out, "File", *file);
    switch (r.Type) {
    case srIdentity:
        Text(out, "ClientID", r.ClientID);
        Text(out, "ApplicationName", r.ApplicationName);
        Text(out, "Caption", r.Caption);
        break;
    case srLevel:
        Text(out, "LevelText", r.Text);
        break;
    case srInsertRow:
        Number(out, "Index", r.Index);
        [[fallthrough]];
    case srRow:
        Row(out, r.Row);
        break;
    case srEditRow:
        Number(out, "Index", r.Index);
        Text(out, "Text", r.Text);
        break;
    case srDeleteRow:
        Number(out, "Index", r.Index);
        break;
    case srMessage:
        Text(out, "Line", r.Text);
        break;
    case srBillboard:
        Field(out, "Lines");
        out += '[';
        for (size_t i = 0; i < r.Lines.size(); ++i) {
            if (i) out += ',';
            Quote(out, r.Lines[i]);
        }
        out += ']';
        break;
    case srInfoLine:
        Number(out, "InfoLine", r.Index);
        Text(out, "Caption", r.Caption);
        Text(out, "Value", r.Text);
        break;
    case srClearRows:
    case srClearInfoPad:
        break;
    default:
        Number(out, "Type", r.Type);
        break;
    }
    out += "}\n";
    return out;
}

void Report(const std::string& path, const TSessionScan& scan, std::FILE* to) {
    if (!scan.Opened)
        std::fprintf(to, "vxlog: %s: %s\n", path.c_str(), scan.Error.c_str());
    else if (scan.Whole)
        std::fprintf(to, "%s: %" PRIu64 " good records, whole (%" PRIu64 " bytes)\n", path.c_str(),
                     scan.Records, scan.StopOffset);
    else
        std::fprintf(to, "%s: %" PRIu64 " good records; bad tail from offset %" PRIu64 ": %s\n",
                     path.c_str(), scan.Records, scan.StopOffset, scan.Error.c_str());
}

bool DumpFile(const std::string& path, const std::string* name) {
    TSessionScan scan = ReadSession(path, [&](const TSessionRecord& r) {
        std::string line = Json(r, name);
        std::fwrite(line.data(), 1, line.size(), stdout);
    });
    std::fflush(stdout);
    if (!scan.Whole) Report(path, scan, stderr);
    return scan.Whole;
}

int Dump(const std::string& target) {
    if (!IsFolder(target)) return DumpFile(target, nullptr) ? 0 : 1;
    std::vector<std::string> names;
    std::string error;
    if (!ListFiles(target, names, error)) {
        std::fprintf(stderr, "vxlog: %s\n", error.c_str());
        return 1;
    }
    bool whole = true;
    const size_t ext = std::strlen(kSessionExtension);
    for (const std::string& n : names)
        if (n.size() > ext && n.compare(n.size() - ext, ext, kSessionExtension) == 0)
            whole = DumpFile(JoinPath(target, n), &n) && whole;
    return whole ? 0 : 1;
}

int Verify(const std::string& path) {
    TSessionScan scan = ReadSession(path, [](const TSessionRecord&) {});
    Report(path, scan, scan.Opened ? stdout : stderr);
    return scan.Whole ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string cmd = argv[1];
    if (cmd == "dump") return Dump(argv[2]);
    if (cmd == "verify") return Verify(argv[2]);
    std::fprintf(stderr, "vxlog: unknown command \"%s\"\n%s", cmd.c_str(), kUsage);
    return 2;
}
