// The viewer at the pixels per inch of its Wine prefix (dpi_test.sh runs this
// program once for each of 96, 144 and 192): with the demo's sections in a
// main window of the same size in inches, no label's text is cut or lies
// over another label, the debug list shows as many rows as at 96 and its
// rows are high enough for their text. At 96 the viewer is also told of a
// new pixels per inch with WM_DPICHANGED, as Windows does when the window
// moves to another monitor, and must lay itself out again for it.
//
// The script hands over, through the environment:
//   VX_DPI             the pixels per inch the prefix is set to
//   VX_DPI_BASE_ROWS   the debug list's rows per page at 96 (0 at 96 itself)
//   VX_DPI_EXCHANGE    a folder: this program writes rows-<dpi>.txt there,
//                      and shot-<name>.ready when the viewer is ready to be
//                      photographed; it waits for shot-<name>.done.
#include "RemoteUi.h"
#include "ViewerProcess.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vxtest {
namespace {

constexpr int kWidth96 = 800, kHeight96 = 600; // the main window at 96 pixels per inch
const char* const kMainSection = "Client ID: Inventory-1832 [Inventory (main)]";

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

std::string Exchange() {
    const char* v = std::getenv("VX_DPI_EXCHANGE");
    return v ? v : "";
}

int Scale(int px, int dpi) {
    return MulDiv(px, dpi, 96);
}

// The rectangle of w in its parent's client coordinates.
RECT InParent(HWND w) {
    RECT r = ScreenRect(w);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The labels a user sees: visible Static windows with text, inside a parent
// that shows some of them.
std::vector<HWND> ShownLabels(HWND root) {
    std::vector<HWND> shown;
    for (HWND l : FindDescendants(root, "Static")) {
        if (!IsWindowVisible(l) || WindowText(l).empty()) continue;
        RECT parent;
        GetClientRect(GetParent(l), &parent);
        if (parent.right <= 0 || parent.bottom <= 0) continue; // a panel closed to nothing
        shown.push_back(l);
    }
    return shown;
}

// The extent of a label's text in the label's own font. Wine keeps GDI
// objects per process, so where the viewer's font cannot be read here the
// stock GUI font of this process stands in (it is made for the same pixels
// per inch, and it is what the viewer's labels use unless they say other).
SIZE TextExtent(HWND label) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    HFONT own = nullptr;
    if (font && GetObjectA(font, sizeof lf, &lf) == sizeof lf) own = CreateFontIndirectA(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, own ? HGDIOBJ(own) : GetStockObject(DEFAULT_GUI_FONT));
    std::string text = WindowText(label);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (own) DeleteObject(own);
    return size;
}

int GuiFontHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return int(tm.tmHeight);
}

// Every shown label's text fits its window, its window lies inside its
// panel, and no two labels of one panel overlap.
void ExpectLabelsFit(HWND main) {
    std::vector<HWND> labels = ShownLabels(main);
    ASSERT_GE(labels.size(), 10u) << "the section's labels were not found";
    for (HWND l : labels) {
        SCOPED_TRACE("label \"" + WindowText(l) + "\"");
        RECT client, parent, r = InParent(l);
        GetClientRect(l, &client);
        GetClientRect(GetParent(l), &parent);
        SIZE text = TextExtent(l);
        EXPECT_LE(text.cx, client.right) << "text wider than its label";
        EXPECT_LE(text.cy, client.bottom) << "text higher than its label";
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= parent.right &&
                    r.bottom <= parent.bottom)
            << "label (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom
            << ") outside its panel of " << parent.right << " x " << parent.bottom;
    }
    for (size_t i = 0; i < labels.size(); ++i)
        for (size_t j = i + 1; j < labels.size(); ++j) {
            if (GetParent(labels[i]) != GetParent(labels[j])) continue;
            RECT a = InParent(labels[i]), b = InParent(labels[j]), both;
            EXPECT_FALSE(IntersectRect(&both, &a, &b))
                << "\"" << WindowText(labels[i]) << "\" overlaps \"" << WindowText(labels[j])
                << "\"";
        }
}

int RowsPerPage(HWND list) {
    return int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
}

// The height of the list's first row, read through the viewer's memory.
int RowHeight(HANDLE process, HWND list) {
    TRemoteBuffer buffer(process, sizeof(RECT));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    if (!buffer.Valid() || !buffer.Write(&r, sizeof r)) return 0;
    if (!SendMessageA(list, LVM_GETITEMRECT, 0, buffer.Address())) return 0;
    buffer.Read(&r, sizeof r);
    return r.bottom - r.top;
}

// Tells the script the viewer can be photographed as `name`, and waits
// until it has been.
void Photograph(const std::string& name) {
    const std::string dir = Exchange();
    if (dir.empty()) return;
    std::ofstream(dir + "\\shot-" + name + ".ready") << name;
    const std::string done = dir + "\\shot-" + name + ".done";
    WaitFor([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
}

class DpiLayout : public ::testing::Test {
  protected:
    void TearDown() override {
        if (viewer.Running()) {
            EXPECT_TRUE(viewer.ExitThroughMenu());
            viewer.Terminate();
        }
    }
    // The main window at the size of kWidth96 x kHeight96 at 96 pixels per inch.
    void SizeMain(int dpi) {
        SetWindowPos(viewer.Main(), nullptr, 20, 20, Scale(kWidth96, dpi), Scale(kHeight96, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(300);
        viewer.Responsive();
        RECT r = ScreenRect(viewer.Main());
        std::printf("main window %ld x %ld (asked %d x %d) screen %d x %d track %d\n",
                    r.right - r.left, r.bottom - r.top, Scale(kWidth96, dpi), Scale(kHeight96, dpi),
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                    GetSystemMetrics(SM_CXMAXTRACK));
    }
    TViewerProcess viewer;
};

TEST_F(DpiLayout, LabelsFitAndTheListShowsItsRows) {
    const int dpi = EnvInt("VX_DPI", 96), baseRows = EnvInt("VX_DPI_BASE_ROWS", 0);
    HDC screen = GetDC(nullptr);
    const int prefixDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(prefixDpi, dpi) << "the prefix's LogPixels did not take";

    ASSERT_TRUE(viewer.Start()) << "the viewer's main window did not appear";
    // The size first: the sections take their panels' shares from it.
    SizeMain(dpi);
    TVxsendResult demo = RunVxsend("demo", 60000);
    ASSERT_EQ(demo.ExitCode, 0u) << demo.Output;
    // The demo's sections are all laid out alike; the one in front is read.
    std::unique_ptr<TSectionView> section;
    ASSERT_TRUE(WaitFor([&] {
        auto main = viewer.Section(kMainSection);
        section = viewer.VisibleSection();
        return main && main->DebugList().Count() == 63 && section;
    }));

    ExpectLabelsFit(viewer.Main());
    HWND list = section->DebugList().Handle();
    const int rows = RowsPerPage(list), rowHeight = RowHeight(viewer.Process(), list);
    std::printf("dpi %d: %d rows of %d pixels per page, labels' font %d pixels high\n", dpi, rows,
                rowHeight, GuiFontHeight());
    EXPECT_GE(rowHeight, GuiFontHeight() + 2) << "rows lower than their text";
    EXPECT_GE(rowHeight, Scale(20, dpi)) << "rows lower than at 96, scaled";
    if (baseRows > 0) {
        EXPECT_GE(rows, baseRows) << "fewer rows than at 96";
    }
    if (!Exchange().empty())
        std::ofstream(Exchange() + "\\rows-" + std::to_string(dpi) + ".txt") << rows;
    Photograph(std::to_string(dpi));

    if (dpi != 96) return;
    // Told of 144 pixels per inch and given the window's new rectangle, the
    // viewer scales every measure and font: a label of the section grows
    // with its font and the list keeps showing its rows.
    const RECT labelBefore = ScreenRect(FindDescendants(section->Frame(), "Static").front());
    RECT suggested{20, 20, 20 + Scale(kWidth96, 144), 20 + Scale(kHeight96, 144)};
    TRemoteBuffer rect(viewer.Process(), sizeof suggested);
    ASSERT_TRUE(rect.Valid() && rect.Write(&suggested, sizeof suggested));
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(viewer.Main(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                                    rect.Address(), SMTO_ABORTIFHUNG, 10000, &result));
    PumpFor(300);
    RECT main = ScreenRect(viewer.Main());
    EXPECT_EQ(main.right - main.left, Scale(kWidth96, 144));
    EXPECT_EQ(main.bottom - main.top, Scale(kHeight96, 144));
    const RECT labelAfter = ScreenRect(FindDescendants(section->Frame(), "Static").front());
    EXPECT_GE((labelAfter.bottom - labelAfter.top) * 4, (labelBefore.bottom - labelBefore.top) * 5)
        << "the label's font did not grow with the pixels per inch";
    EXPECT_GE(RowHeight(viewer.Process(), list), Scale(20, 144));
    EXPECT_GE(RowsPerPage(list), rows);
    ExpectLabelsFit(viewer.Main());
    Photograph("96-told-144");
}

} // namespace
} // namespace vxtest
