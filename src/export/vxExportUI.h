// The windows an export component shows: the format-selection dialog and
// the progress window. The Win32 layer implements them; without one attached,
// Execute goes straight to the export and no progress is shown.
#pragma once

#include <memory>

namespace vx {

class TvxCustomExport;

struct IExportProgress {
    virtual ~IExportProgress() = default;
    virtual void SetPosition(int position) = 0;
};

struct IExportUI {
    virtual ~IExportUI() = default;
    // Lets the user choose ExportType, ExportStyle (and so on) on the
    // component; false when the dialog was cancelled.
    virtual bool SelectFormat(TvxCustomExport& exporter) = 0;
    // Shows the progress window with the range 0..max; closed when released.
    virtual std::unique_ptr<IExportProgress> ShowProgress(TvxCustomExport& exporter, int max) = 0;
};

} // namespace vx
