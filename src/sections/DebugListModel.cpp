#include "DebugListModel.h"

#include "platform/DateTimeFormat.h"

#include <cstring>

namespace vx {

namespace {

bool IsSeparator(const TRowRecord& r) {
    return r.Kind == dkSeparator;
}

} // namespace

std::string DebugCellText(const TDebugRowStore& rows, const ILocale& locale, size_t row,
                          int column) {
    if (row >= rows.Count()) return {};
    const TRowRecord& r = rows.Record(row);
    if (IsSeparator(r)) return {};
    switch (column) {
    case 2:
        return std::string(rows.Text(row));
    case 3:
        return FormatLongTime(locale, r.Time);
    default:
        return {};
    }
}

int DebugCellImage(const TDebugRowStore& rows, size_t row, int column) {
    if (row >= rows.Count()) return kNoImage;
    const TRowRecord& r = rows.Record(row);
    if (IsSeparator(r)) return kNoImage;
    if (column == 0) return r.Group <= dgError ? int(r.Group) : kNoImage;
    if (column == 1) return KindImageIndex(r.Kind);
    return kNoImage;
}

std::optional<TColor> DebugCellFill(const TDebugRowStore& rows, size_t row, bool focused,
                                    bool useColors) {
    if (!useColors || focused || row >= rows.Count()) return std::nullopt;
    const TRowRecord& r = rows.Record(row);
    if (IsSeparator(r) || r.Group > dgError) return std::nullopt;
    return GroupColors[r.Group];
}

TRowPaint DebugRowPaint(const TDebugRowStore& rows, size_t row, bool focused) {
    if (row >= rows.Count() || !IsSeparator(rows.Record(row))) return {};
    return focused ? TRowPaint{true, clNavy, clWhite} : TRowPaint{true, clWhite, clNavy};
}

std::string DataText(const uint8_t* data, int32_t size) {
    if (!data || size <= 0) return {};
    const void* zero = std::memchr(data, 0, size_t(size));
    size_t n = zero ? size_t(static_cast<const uint8_t*>(zero) - data) : size_t(size);
    return std::string(reinterpret_cast<const char*>(data), n);
}

} // namespace vx
