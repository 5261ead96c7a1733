// The two export components a section owns: one for the billboard and one
// for the debug list, set up the way the section exports them, with the
// report header naming the program.
#pragma once

#include "export/vxLMDListBoxExport.h"
#include "export/vxVirtualTreeExport.h"

#include <functional>
#include <string>

namespace vx {

struct IExportUI;

class TSectionExports {
  public:
    // caption: the main window's current caption, read when a report starts.
    TSectionExports(const TPlatform& platform, std::function<std::string()> caption);

    TvxLMDListBoxExport vxDebugExport;      // the billboard
    TvxVirtualTreeExport vxDebugListExport; // the debug list

    // Dialogs and progress window for both components (null: none).
    void SetUI(IExportUI* ui);
    // The two menu commands: point the component at the list, then let the
    // user choose and export. `shown` tells the rows the debug list shows
    // (null: every row); the user may choose to export only those.
    void MessageExport(IMessageListBox& messages);
    void ExportItems(IDebugTree& debugList, std::function<bool(size_t row)> shown = nullptr);
    // The header line of both reports.
    void vxDebugExportGetHeader(TvxCustomExport& sender, uint32_t recordCount,
                                std::string& header) const;

    // What the user is asked before an existing document is replaced.
    static std::string ReplaceQuestion(const std::string& fileName);

  private:
    void Configure(TvxCustomExport& exporter);
    void ReportError(TvxCustomExport& sender, TvxExportError error) const;
    void ReportUnopened(const TvxCustomExport& exporter) const;

    IDialogs* dialogs_;
    bool refused_ = false; // the user kept the existing document

    std::function<std::string()> caption_;
};

} // namespace vx
