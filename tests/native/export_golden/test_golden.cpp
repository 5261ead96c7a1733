// Every output type written from one small table and compared byte for byte
// with its golden document under tests/golden. Run with VX_UPDATE_GOLDEN=1
// to write the golden documents again after an intended change (and open
// them once in LibreOffice: the interop test interop_export does).
#include "GoldenTable.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vxtest;

namespace {

std::string GoldenPath(const char* file) {
    return std::string(VX_GOLDEN_DIR) + "/" + file;
}

// Offset of the first differing byte, for a readable failure.
size_t FirstDifference(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return n;
}

} // namespace

TEST(Golden, EveryTypeWritesItsGoldenDocument) {
    const bool update = std::getenv("VX_UPDATE_GOLDEN") != nullptr;
    for (const TGoldenType& g : kGoldenTypes) {
        SCOPED_TRACE(g.File);
        TExportFixture f;
        std::string doc = ExportGolden(f, g.Type);
        ASSERT_TRUE(f.Source.LastExportWritten());
        ASSERT_TRUE(f.Errors.empty());
        const std::string path = GoldenPath(g.File);
        if (update) WriteFile(path, doc);
        ASSERT_TRUE(FileExists(path)) << "missing golden document; make it with VX_UPDATE_GOLDEN=1";
        std::string golden = ReadFile(path);
        size_t at = FirstDifference(doc, golden);
        EXPECT_TRUE(doc == golden)
            << "differs at byte " << at << " (written " << doc.size() << " bytes, golden "
            << golden.size() << ")\nwritten: " << doc.substr(at > 40 ? at - 40 : 0, 120);
    }
}

// The mask must catch the created line: a document written a minute later
// compares equal, and the line is really there to be masked.
TEST(Golden, CreatedLineIsMaskedInEveryTextType) {
    for (TvxExportType type : {xtTXT, xtHTML, xtRTF, xtExcel}) {
        TExportFixture early, late;
        late.Fake.Clock.Value += 1.0 / 1440;
        std::string a = ExportGolden(early, type);
        EXPECT_NE(a.find("Created: ###"), std::string::npos) << int(type);
        EXPECT_EQ(a, ExportGolden(late, type)) << int(type);
    }
}
