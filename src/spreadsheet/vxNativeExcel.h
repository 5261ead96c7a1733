// TvxNativeExcel: builds a one-sheet BIFF spreadsheet in memory, record by
// record, with a cell cursor that moves after every cell. Cells, fonts and
// page setup use the BIFF2 records (three attribute bytes per cell, no XF
// records); the BOF and DIMENSIONS records follow the chosen BIFF version.
// Nothing reaches the disk until Save.
#pragma once

#include "platform/Platform.h"
#include "spreadsheet/vxVariant.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum TvxBIFFVersion : uint8_t { bvBIFF2, bvBIFF3, bvBIFF4, bvBIFF5 };
enum TvxMoveAfterEnter : uint8_t { maNone, maUp, maDown, maLeft, maRight };
enum TvxExcelBorders : uint8_t { ebTop, ebBottom, ebLeft, ebRight };
enum TvxExcelAlignment : uint8_t { eaGeneral, eaLeft, eaRight, eaCenter, eaFill, eaMultiPlan };
enum TvxExcelBoolErr : uint8_t {
    beTrue,
    beFalse,
    beNull,
    beDiv0,
    beValue,
    beRef,
    beName,
    beNum,
    beNA
};

// Set of TvxExcelBorders: bit n = value n.
using TvxExcelBorderSet = uint8_t;
inline constexpr TvxExcelBorderSet BorderBit(TvxExcelBorders b) {
    return uint8_t(1u << b);
}
inline constexpr TvxExcelBorderSet ebAllBorders =
    BorderBit(ebTop) | BorderBit(ebBottom) | BorderBit(ebLeft) | BorderBit(ebRight);

// The file could not be created or written.
class EFCreateError : public std::runtime_error {
  public:
    explicit EFCreateError(const std::string& fileName)
        : std::runtime_error("Cannot create file \"" + fileName + "\"") {}
};

class TvxNativeExcel {
  public:
    enum TFileState : uint8_t { fsNeverOpened, fsOpen, fsClosed };

    // The locale formats date cells; without one a US English picture is used.
    explicit TvxNativeExcel(const ILocale* locale = nullptr);
    virtual ~TvxNativeExcel() = default;
    TvxNativeExcel(const TvxNativeExcel&) = delete;
    TvxNativeExcel& operator=(const TvxNativeExcel&) = delete;

    // Lifetime of one file.
    void Open() { WriteBOF(); }
    void Close() { WriteEOF(); }
    // Writes the whole stream to FileName; throws EFCreateError when that
    // fails, keeping the stream so Save can be repeated with another name.
    void Save();
    // The same to a path taken as it is (no extension rule): the export
    // saves under a temporary name that is renamed into place afterwards.
    void SaveToFile(const std::string& path);
    virtual void WriteBOF(); // empties the stream, writes BOF and DIMENSIONS
    virtual void WriteEOF();

    // Properties.
    uint8_t ActiveFont() const { return activeFont_; }
    void SetActiveFont(int font); // 0..number of fonts written, else ignored
    TvxExcelAlignment Alignment() const { return alignment_; }
    void SetAlignment(TvxExcelAlignment a) { alignment_ = a; }
    TvxBIFFVersion BIFF() const { return biff_; }
    void SetBIFF(TvxBIFFVersion v); // a new version starts the file again
    TvxExcelBorderSet Borders() const { return borders_; }
    void SetBorders(TvxExcelBorderSet b) { borders_ = b; }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name); // forces the extension .XLS
    uint16_t Row() const { return row_; }
    void SetRow(int row); // 1..65535, else ignored
    uint16_t Column() const { return column_; }
    void SetColumn(int column); // 1..256, else ignored
    TvxMoveAfterEnter MoveAfterEnter() const { return moveAfterEnter_; }
    void SetMoveAfterEnter(TvxMoveAfterEnter m) { moveAfterEnter_ = m; }
    bool Shading() const { return shading_; }
    void SetShading(bool v) { shading_ = v; }
    bool Hidden() const { return hidden_; }
    void SetHidden(bool v) { hidden_ = v; }
    bool Locked() const { return locked_; }
    void SetLocked(bool v) { locked_ = v; }
    std::string Version() const;

    TFileState FileState() const { return fileState_; }
    int FontCount() const { return fontCount_; }
    const std::vector<uint8_t>& Data() const { return stream_; }

    // Records without a cell; the cursor stays.
    void WriteFont(const TFont* font); // at most four per file
    void WriteHeader(std::string_view text);
    void WriteFooter(std::string_view text);
    void WriteLeftMargin(double inches);
    void WriteRightMargin(double inches);
    void WriteTopMargin(double inches);
    void WriteBottomMargin(double inches);
    void WriteColWidth(int firstColumn, int lastColumn, int32_t widthInChars);
    void WriteProtect(bool on);

    // Cells at the cursor; the cursor moves after each. Texts are cut at
    // their first zero character and after 255 characters.
    void WriteBlank();
    // 0..65535 fits an INTEGER cell; any other value keeps its value in a
    // NUMBER cell.
    void WriteInteger(int64_t value);
    void WriteNumber(double value);
    void WriteLabel(std::string_view text);
    void WriteBoolean(bool value) { WriteBoolErr(value ? beTrue : beFalse); }
    void WriteBoolErr(TvxExcelBoolErr value);
    // Picks the record by the value's type; types without a cell form write
    // nothing and leave the cursor.
    void WriteCell(const TVariant& value);

    static constexpr uint16_t kRowLimit = 65535;
    static constexpr uint16_t kColumnLimit = 256;

  private:
    void StartFile();
    void BeginRecord(uint16_t number, uint16_t length);
    void BeginCell(uint16_t number, uint16_t length);
    void MoveCursor();
    void WriteText(uint16_t number, uint16_t fixedLength, std::string_view text);
    void WriteMargin(uint16_t number, double inches);
    void Put8(uint8_t v) { stream_.push_back(v); }
    void Put16(uint16_t v);
    void PutDouble(double v);
    void PutBytes(std::string_view s) { stream_.insert(stream_.end(), s.begin(), s.end()); }

    const ILocale* locale_;
    std::vector<uint8_t> stream_;
    TvxBIFFVersion biff_ = bvBIFF5;
    TFileState fileState_ = fsNeverOpened;
    std::string fileName_;
    uint16_t row_ = 1;
    uint16_t column_ = 1;
    uint8_t fontCount_ = 0;
    uint8_t activeFont_ = 0;
    TvxMoveAfterEnter moveAfterEnter_ = maRight;
    bool shading_ = false;
    TvxExcelBorderSet borders_ = 0;
    TvxExcelAlignment alignment_ = eaGeneral;
    bool hidden_ = false;
    bool locked_ = true;
};

} // namespace vx
