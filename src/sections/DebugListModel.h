// What the debug list shows of a row: cell texts, icons, cell fill and the
// drawing of separator rows. Pure functions of the stored row, so an
// owner-data list can ask for any cell at any time.
#pragma once

#include "RowStore.h"
#include "platform/Platform.h"

#include <optional>
#include <string>

namespace vx {

// Row colours by group (general, information, warning, error).
inline constexpr TColor GroupColors[4] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x0000FF};

inline constexpr int kDebugRowHeight = 20;
inline constexpr int kNoImage = -1;

// Text of a cell: column 2 the message, column 3 the time in the locale's long
// time format, everything else (and every cell of a separator) empty.
std::string DebugCellText(const TDebugRowStore& rows, const ILocale& locale, size_t row,
                          int column);
// Image of DebugImages for a cell, or kNoImage.
int DebugCellImage(const TDebugRowStore& rows, size_t row, int column);
// Fill colour of a cell before its text is drawn; none for the focused row,
// separators, rows of an unknown group, or when colours are off.
std::optional<TColor> DebugCellFill(const TDebugRowStore& rows, size_t row, bool focused,
                                    bool useColors);

// How the section draws a whole row: only separators are drawn by it.
struct TRowPaint {
    bool OwnerDrawn = false; // the section drew the row; the list draws nothing
    TColor Background = 0;
    TColor Line = 0;
};
TRowPaint DebugRowPaint(const TDebugRowStore& rows, size_t row, bool focused);
// Height of a separator's line inside its row rectangle.
inline int SeparatorLineY(int top, int bottom) {
    return top + (bottom - top) / 2;
}

// The attached data as text: up to the first zero byte, never past size.
std::string DataText(const uint8_t* data, int32_t size);

} // namespace vx
