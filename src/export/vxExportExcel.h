// The spreadsheet output type: drives the TvxNativeExcel of its options cell by
// cell and saves the sheet at the output's temporary name, which the engine
// renames into place.
//
// Layout with h header lines: the header lines in rows 1..h of column 1, a
// blank cell in row h + 1, the captions in row h + 2, the data from row h + 3
// on, the footer lines two rows below the last data row.
//
// The sheet has 65,535 rows and 256 columns. Records, cells and footer lines
// that do not fit are left out (never written over other cells) and the
// export reports xeExportFailed once through OnError; what fits is saved.
#pragma once

#include "export/vxDocumentWriter.h"

#include <cstdint>

namespace vx {

class TvxNativeExcel;

class TvxExcelWriter : public TvxDocumentWriter {
  public:
    TvxExcelWriter(TvxOutput& out, const TvxWriterOptions& options);
    bool WritesOwnFile() const override { return true; }

    void Prologue() override;
    void HeaderText(const TStringList& lines) override;
    void CaptionRow(const TvxFormattedRow& row) override;
    void HeaderSeparator(std::string_view) override {}
    bool CanWriteRecord() override;
    void BeginRecord() override;
    void DataRow(const TvxFormattedRow& row) override;
    void Footer(const TStringList& lines, std::string_view separator,
                std::string_view created) override;
    void Epilogue() override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

    // Whether something was left out because the sheet was full.
    bool Truncated() const { return truncated_; }

  private:
    void WriteCellText(std::string_view text);
    // One text per row down column 1 from firstRow, as far as the sheet goes.
    void WriteColumnLines(const TStringList& lines, int firstRow);
    bool RoomForCell();
    void ReportTruncation();
    uint8_t CellBorders() const; // all four sides with reUseBorders

    TvxNativeExcel& excel_;
    int rowStart_ = 1;   // sheet row of the caption or data row being written
    int cellsInRow_ = 0; // cells written in that row
    bool truncated_ = false;
};

} // namespace vx
