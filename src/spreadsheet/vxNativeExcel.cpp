#include "spreadsheet/vxNativeExcel.h"

#include "platform/DateTimeFormat.h"
#include "platform/Errors.h"
#include "spreadsheet/FileReplace.h"

#include <cstdio>
#include <cstring>

namespace vx {
namespace {

constexpr int32_t kVersionNumber = 0x0115;

// Record numbers.
constexpr uint16_t kBlank = 0x0001, kInteger = 0x0002, kNumber = 0x0003, kLabel = 0x0004,
                   kBoolErr = 0x0005, kEOF = 0x000A, kProtect = 0x0012, kHeader = 0x0014,
                   kFooter = 0x0015, kColWidth = 0x0024, kLeftMargin = 0x0026,
                   kRightMargin = 0x0027, kTopMargin = 0x0028, kBottomMargin = 0x0029,
                   kFont = 0x0031;
constexpr uint16_t kCellPrefix = 7;

// Texts end at their first zero character and hold at most 255 characters.
std::string_view CutText(std::string_view text) {
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    return text.substr(0, 255);
}

// The alignment codes order centre before right, unlike the enumeration.
uint8_t AlignmentCode(TvxExcelAlignment a) {
    static const uint8_t codes[] = {0, 1, 3, 2, 4, 7};
    return a <= eaMultiPlan ? codes[a] : 0;
}

struct TBoolErrBytes {
    uint8_t Value, IsError;
};

TBoolErrBytes BoolErrBytes(TvxExcelBoolErr v) {
    static const TBoolErrBytes table[] = {{1, 0},    {0, 0},    {0x00, 1}, {0x07, 1}, {0x0F, 1},
                                          {0x17, 1}, {0x1D, 1}, {0x24, 1}, {0x2A, 1}};
    return v <= beNA ? table[v] : TBoolErrBytes{0x2A, 1};
}

} // namespace

TvxNativeExcel::TvxNativeExcel(const ILocale* locale)
    : locale_(locale ? locale : &DefaultLocale()) {
    stream_.reserve(4096);
    StartFile();
}

std::string TvxNativeExcel::Version() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%d", (kVersionNumber >> 8) & 0xFF, kVersionNumber & 0xFF);
    return buf;
}

// ---- file lifetime ----

void TvxNativeExcel::StartFile() {
    fileState_ = fsOpen;
    fontCount_ = 0;
    stream_.clear();
    const bool biff2 = biff_ == bvBIFF2;
    static const uint16_t bofNumbers[] = {0x0009, 0x0209, 0x0409, 0x0809};
    BeginRecord(bofNumbers[biff_ & 3], biff2 ? 4 : 6);
    Put16(0x0200); // the same version word for every BIFF version
    Put16(0x0010); // worksheet
    if (!biff2) Put16(0);
    // DIMENSIONS declares the whole sheet, whatever it holds.
    BeginRecord(biff2 ? 0x0000 : 0x0200, biff2 ? 8 : 10);
    Put16(0);
    Put16(kRowLimit);
    Put16(0);
    Put16(kColumnLimit);
    if (!biff2) Put16(0);
}

void TvxNativeExcel::WriteBOF() {
    StartFile();
}

void TvxNativeExcel::WriteEOF() {
    BeginRecord(kEOF, 0);
    fileState_ = fsClosed;
}

void TvxNativeExcel::Save() {
    SaveToFile(fileName_);
}

void TvxNativeExcel::SaveToFile(const std::string& path) {
    if (!WriteFileReplacing(path, stream_.data(), stream_.size())) throw EFCreateError(path);
}

// ---- properties ----

void TvxNativeExcel::SetActiveFont(int font) {
    if (font != activeFont_ && font >= 0 && font <= fontCount_) activeFont_ = uint8_t(font);
}

void TvxNativeExcel::SetBIFF(TvxBIFFVersion v) {
    if (v == biff_ || v > bvBIFF5) return;
    biff_ = v;
    WriteBOF();
}

void TvxNativeExcel::SetFileName(const std::string& name) {
    if (name == fileName_) return;
    // The extension starts at the last dot after the last folder separator.
    size_t sep = name.find_last_of("\\/:");
    size_t dot = name.rfind('.');
    std::string base = name;
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
        std::string ext = name.substr(dot);
        if (ext.size() == 4 && (ext[1] | 0x20) == 'x' && (ext[2] | 0x20) == 'l' &&
            (ext[3] | 0x20) == 's') {
            fileName_ = name;
            return;
        }
        base = name.substr(0, dot);
    }
    fileName_ = base + ".XLS";
}

void TvxNativeExcel::SetRow(int row) {
    if (row != row_ && row >= 1 && row <= kRowLimit) row_ = uint16_t(row);
}

void TvxNativeExcel::SetColumn(int column) {
    if (column != column_ && column >= 1 && column <= kColumnLimit) column_ = uint16_t(column);
}

// ---- record framing ----

void TvxNativeExcel::Put16(uint16_t v) {
    stream_.push_back(uint8_t(v));
    stream_.push_back(uint8_t(v >> 8));
}

void TvxNativeExcel::PutDouble(double v) {
    uint64_t bits;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        stream_.push_back(uint8_t(bits >> (8 * i)));
}

void TvxNativeExcel::BeginRecord(uint16_t number, uint16_t length) {
    // A record after Close starts a new file: the old content is gone.
    if (fileState_ == fsClosed) StartFile();
    Put16(number);
    Put16(length);
}

void TvxNativeExcel::BeginCell(uint16_t number, uint16_t length) {
    BeginRecord(number, length);
    Put16(uint16_t(row_ - 1));
    Put16(uint16_t(column_ - 1));
    MoveCursor();
    Put8(uint8_t((locked_ ? 0x40 : 0) | (hidden_ ? 0x80 : 0)));
    Put8(activeFont_ <= 3 ? uint8_t(activeFont_ << 6) : 0);
    uint8_t b2 = AlignmentCode(alignment_);
    if (borders_ & BorderBit(ebLeft)) b2 |= 0x08;
    if (borders_ & BorderBit(ebRight)) b2 |= 0x10;
    if (borders_ & BorderBit(ebTop)) b2 |= 0x20;
    if (borders_ & BorderBit(ebBottom)) b2 |= 0x40;
    if (shading_) b2 |= 0x80;
    Put8(b2);
}

// The walk never leaves the sheet: at its far corner the cursor stays.
void TvxNativeExcel::MoveCursor() {
    switch (moveAfterEnter_) {
    case maRight:
        if (column_ < kColumnLimit)
            ++column_;
        else if (row_ < kRowLimit)
            column_ = 1, ++row_;
        break;
    case maLeft:
        if (column_ > 1)
            --column_;
        else if (row_ > 1)
            column_ = kColumnLimit, --row_;
        break;
    case maDown:
        if (row_ < kRowLimit)
            ++row_;
        else if (column_ < kColumnLimit)
            row_ = 1, ++column_;
        break;
    case maUp:
        if (row_ > 1)
            --row_;
        else if (column_ > 1)
            row_ = kRowLimit, --column_;
        break;
    case maNone:
        break;
    }
}

// ---- records without a cell ----

void TvxNativeExcel::WriteFont(const TFont* font) {
    if (!font || fontCount_ >= 4) return;
    if (font->Size < 0 || font->Size > 3276 || font->Name.size() > 255) throw ERangeError();
    ++fontCount_;
    BeginRecord(kFont, uint16_t(5 + font->Name.size()));
    Put16(uint16_t(font->Size * 20));
    Put16(uint16_t((font->Bold ? 1 : 0) | (font->Italic ? 2 : 0) | (font->Underline ? 4 : 0) |
                   (font->StrikeOut ? 8 : 0)));
    Put8(uint8_t(font->Name.size()));
    PutBytes(font->Name);
}

void TvxNativeExcel::WriteText(uint16_t number, uint16_t fixedLength, std::string_view text) {
    text = CutText(text);
    BeginRecord(number, uint16_t(fixedLength + text.size()));
    Put8(uint8_t(text.size()));
    PutBytes(text);
}

void TvxNativeExcel::WriteHeader(std::string_view text) {
    WriteText(kHeader, 1, text);
}

void TvxNativeExcel::WriteFooter(std::string_view text) {
    WriteText(kFooter, 1, text);
}

void TvxNativeExcel::WriteMargin(uint16_t number, double inches) {
    BeginRecord(number, 8);
    PutDouble(inches);
}

void TvxNativeExcel::WriteLeftMargin(double inches) {
    WriteMargin(kLeftMargin, inches);
}
void TvxNativeExcel::WriteRightMargin(double inches) {
    WriteMargin(kRightMargin, inches);
}
void TvxNativeExcel::WriteTopMargin(double inches) {
    WriteMargin(kTopMargin, inches);
}
void TvxNativeExcel::WriteBottomMargin(double inches) {
    WriteMargin(kBottomMargin, inches);
}

void TvxNativeExcel::WriteColWidth(int firstColumn, int lastColumn, int32_t widthInChars) {
    auto validColumn = [](int c) { return c >= 1 && c <= kColumnLimit; };
    if (!validColumn(firstColumn) || !validColumn(lastColumn) || widthInChars < 0 ||
        widthInChars > 255)
        throw ERangeError();
    BeginRecord(kColWidth, 4);
    Put8(uint8_t(firstColumn - 1));
    Put8(uint8_t(lastColumn - 1));
    Put16(uint16_t(widthInChars * 256));
}

void TvxNativeExcel::WriteProtect(bool on) {
    BeginRecord(kProtect, 2);
    Put16(on ? 1 : 0);
}

// ---- cells ----

void TvxNativeExcel::WriteBlank() {
    BeginCell(kBlank, kCellPrefix);
}

void TvxNativeExcel::WriteInteger(int64_t value) {
    if (value < 0 || value > 0xFFFF) {
        WriteNumber(double(value));
        return;
    }
    BeginCell(kInteger, kCellPrefix + 2);
    Put16(uint16_t(value));
}

void TvxNativeExcel::WriteNumber(double value) {
    BeginCell(kNumber, kCellPrefix + 8);
    PutDouble(value);
}

void TvxNativeExcel::WriteLabel(std::string_view text) {
    text = CutText(text);
    BeginCell(kLabel, uint16_t(kCellPrefix + 1 + text.size()));
    Put8(uint8_t(text.size()));
    PutBytes(text);
}

void TvxNativeExcel::WriteBoolErr(TvxExcelBoolErr value) {
    TBoolErrBytes b = BoolErrBytes(value);
    BeginCell(kBoolErr, kCellPrefix + 2);
    Put8(b.Value);
    Put8(b.IsError);
}

void TvxNativeExcel::WriteCell(const TVariant& value) {
    if (value.IsInteger()) return WriteInteger(value.AsInt64());
    if (value.IsString()) return WriteLabel(value.AsString());
    switch (value.VarType()) {
    case varEmpty:
        return WriteBlank();
    case varNull:
        return WriteBoolErr(beNull);
    case varSingle:
    case varDouble:
    case varCurrency:
        return WriteNumber(value.AsDouble());
    case varDate:
        return WriteLabel(DateTimeToStr(*locale_, value.AsDouble()));
    case varBoolean:
        return WriteBoolean(value.AsBoolean());
    case varDispatch:
    case varError:
    case varUnknown:
    case varAny:
        return WriteBoolErr(beNA);
    case varVariant:
        return WriteBoolErr(beValue);
    default:
        return; // arrays, references: no cell form
    }
}

} // namespace vx
