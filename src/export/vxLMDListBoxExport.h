// TvxLMDListBoxExport: the export component over a section's billboard,
// whose lines are delimited items under a header of column captions.
#pragma once

#include "export/vxExport.h"
#include "sections/DebugRowSource.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vx {

class TvxLMDListBoxExport : public TvxCustomExport {
  public:
    explicit TvxLMDListBoxExport(const TPlatform& platform);
    ~TvxLMDListBoxExport() override;

    IMessageListBox* ListBox() const { return listBox_; }
    void SetListBox(IMessageListBox* listBox);
    // The section tells its exporter when the list goes away.
    void SourceRemoved(const IMessageListBox* listBox) {
        if (listBox == listBox_) SetListBox(nullptr);
    }

    void FirstRecord() override {
        RecordIndex = 0;
        widths_.clear();
    }
    bool HasSource() override { return listBox_ != nullptr; }
    bool IsEndOfRecords() override;
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int) override { return true; }
    int GetColumnWidth(int index) override;
    std::string GetColumnCaption(int index) override;
    int GetColumnCount() override;
    void GetRecordValues(TvxValues& values) override;
    int GetRecordCount() override;
    std::string ClassName() const override { return "TVXLMDLISTBOXEXPORT"; }

  private:
    IMessageListBox* listBox_ = nullptr;
    // Column widths measured at the start of an export (-1: not measured).
    std::vector<int> widths_;
};

} // namespace vx
