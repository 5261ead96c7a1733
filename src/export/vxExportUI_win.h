// The export component's windows on Win32: the format dialog that Execute
// shows and the progress window shown while a document is written.
//
//   TvxExportUIWin ui(mainWindow);   // lives as long as the component uses it
//   exporter.SetUI(&ui);
//   exporter.Execute();              // format dialog, save dialog, document
//
// Both windows are built from code; their texts come from the component's
// Messages, so each component can be translated on its own.
#pragma once

#include "export/vxExportTypes.h"
#include "export/vxExportUI.h"

#include "ui/Window_win.h"

#include <windows.h>

#include <memory>

namespace vx {

// The name the format list shows for a type ("Microsoft Excel").
const char* ExportTypeDisplayName(TvxExportType type);
// The types in the order the format list offers them (not the enumeration's).
extern const TvxExportType kExportTypeDisplayOrder[kExportTypeCount];
// The bitmap resource of a type ("XTHTML" ... "XTCLIPBOARD").
const char* ExportTypeBitmapName(TvxExportType type);

// Control ids of the format dialog; the change handler tells its controls
// apart by them.
inline constexpr int kViewOnlyId = 10;
inline constexpr int kExportToFileId = 20;
inline constexpr int kFormatListId = 30;
inline constexpr int kTypeImageId = 40;
inline constexpr int kFormatGroupId = 50;
inline constexpr int kVisibleRowsOnlyId = 60;

class TvxExportUIWin : public IExportUI {
  public:
    // owner: the window that is disabled while the dialog runs and that owns
    // both windows (may be null). module: where the type bitmaps are (null:
    // the program file).
    explicit TvxExportUIWin(HWND owner = nullptr, HINSTANCE module = nullptr);

    HWND Owner() const { return owner_; }
    void SetOwner(HWND owner) { owner_ = owner; }

    bool SelectFormat(TvxCustomExport& exporter) override;
    std::unique_ptr<IExportProgress> ShowProgress(TvxCustomExport& exporter, int max) override;

    // The format dialog while SelectFormat runs, otherwise null.
    HWND Dialog() const { return dialog_; }

  private:
    HWND owner_;
    HINSTANCE module_;
    HWND dialog_ = nullptr;
};

// The progress window: shown at once, not modal, destroyed with the object.
class TvxExportProgressWin : public IExportProgress {
  public:
    TvxExportProgressWin(HWND owner, const TvxMessagesOptions& messages, int max);
    ~TvxExportProgressWin() override;
    TvxExportProgressWin(const TvxExportProgressWin&) = delete;
    TvxExportProgressWin& operator=(const TvxExportProgressWin&) = delete;

    // Moves the bar; the window repaints at most every 50 ms.
    void SetPosition(int position) override;

    HWND Handle() const { return window_.Handle(); }
    HWND Bar() const { return bar_; }
    HWND Label() const { return label_; } // null without Messages.Text
    int Repaints() const { return repaints_; }

  private:
    void Repaint();

    ui::TOwnedWindow window_;
    HWND bar_ = nullptr;
    HWND label_ = nullptr;
    int max_ = 0;
    int shown_ = 0;     // the position the bar shows
    DWORD shownAt_ = 0; // when it was last repainted
    int repaints_ = 0;
};

} // namespace vx
