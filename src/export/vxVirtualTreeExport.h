// TvxVirtualTreeExport: the export component over a section's debug list.
// Each row gives four values: group name, kind name, message text and time.
#pragma once

#include "export/vxExport.h"
#include "sections/DebugRowSource.h"

#include <cstddef>
#include <functional>
#include <string>

namespace vx {

// "General", "Info", "Warning", "Error"; any other group has an empty name.
const char* GroupName(uint8_t group);

class TvxVirtualTreeExport : public TvxCustomExport {
  public:
    explicit TvxVirtualTreeExport(const TPlatform& platform);
    ~TvxVirtualTreeExport() override;

    IDebugTree* VirtualTree() const { return tree_; }
    void SetVirtualTree(IDebugTree* tree);
    // The section tells its exporter when the list goes away.
    void SourceRemoved(const IDebugTree* tree) {
        if (tree == tree_) SetVirtualTree(nullptr);
    }

    // Which rows the list shows (null: every row). With xoVisibleRowsOnly
    // only those are exported, counted and measured.
    void SetRowFilter(std::function<bool(size_t row)> shown) { shown_ = std::move(shown); }

    void FirstRecord() override;
    bool HasSource() override { return tree_ != nullptr; }
    bool IsEndOfRecords() override;
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int) override { return true; }
    int GetColumnWidth(int index) override;
    std::string GetColumnCaption(int index) override;
    int GetColumnCount() override;
    void GetRecordValues(TvxValues& values) override;
    int GetRecordCount() override;
    std::string ClassName() const override { return "TVXVIRTUALTREEEXPORT"; }

  private:
    static constexpr size_t kNone = size_t(-1);
    size_t NodeForRecord() const;
    bool Exports(size_t row) const {
        return !shown_ || !Options.Has(xoVisibleRowsOnly) || shown_(row);
    }
    const std::string& TimeText(TDateTime time);

    IDebugTree* tree_ = nullptr;
    std::function<bool(size_t row)> shown_;
    size_t node_ = kNone; // row of the record at RecordIndex
    // The widest message, measured once per row count (an export reads it
    // for every phase that needs the layout).
    size_t widthRows_ = kNone;
    int textWidth_ = 0;
    // The time text of the last second formatted: rows come many a second.
    int64_t timeKey_ = -1;
    int lastGroup_ = -1, lastKind_ = -1; // codes of the record before
    bool pictureRead_ = false;
    std::string timePicture_, timeText_;
};

} // namespace vx
