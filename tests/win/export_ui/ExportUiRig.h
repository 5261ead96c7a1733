// Helpers of the export windows' tests: a table to export, a script that
// drives the format dialog from inside its own message loop, and window
// queries.
#pragma once

#include "export/vxExport.h"
#include "export/vxExportUI_win.h"
#include "platform/Fakes.h"
#include "support/WinTest_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vxtest {

// Rows of two columns: "Line" (the row number) and "Text".
class TTable : public vx::TvxCustomExport {
  public:
    using TvxCustomExport::TvxCustomExport;
    int Rows = 3;
    std::string Prefix = "row";
    void FirstRecord() override { RecordIndex = 0; }
    bool HasSource() override { return true; }
    bool IsEndOfRecords() override { return RecordIndex >= Rows; }
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int) override { return true; }
    int GetColumnWidth(int) override { return 10; }
    std::string GetColumnCaption(int i) override { return i == 0 ? "Line" : "Text"; }
    int GetColumnCount() override { return 2; }
    void GetRecordValues(vx::TvxValues& v) override;
    int GetRecordCount() override { return Rows; }
};

// Runs the steps on the format dialog of `ui`, one a timer tick (so what a
// step posts is handled before the next one runs), starting once it shows.
using TStep = TDialogStep;
void Drive(vx::TvxExportUIWin& ui, std::vector<TStep> steps);
// Whether every step ran.
bool DriveFinished();

// Position and size relative to the parent's client area.
RECT ChildRect(HWND child);
bool SameRect(RECT r, int left, int top, int width, int height);
std::vector<std::string> ComboItems(HWND combo);
// Selects the item with this text as a user would (the list reports it).
void SelectItem(HWND dialog, const std::string& text);
void Click(HWND dialog, int id);
bool Checked(HWND dialog, int id);

// The owner of the windows under test, visible, made once: destroying a
// top-level window is slow under Wine.
TPlainHost& Owner();
std::string ReadFile(const std::string& path);
std::string TempFolder(); // a fresh folder with a trailing backslash

} // namespace vxtest
