// What readers outside the section (the export adapters) see of a section's
// two lists: the debug list's header columns and rows, and the billboard's
// header captions and "|"-delimited lines.
#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

struct TDebugRowView {
    uint8_t Group = 0;
    uint8_t Kind = 0;
    std::string_view Text;
    TDateTime Time = 0;
    std::string_view UnitName;
    std::string_view ProcName;
    int32_t LineNumber = 0;
    int32_t DataSize = 0;
    const uint8_t* Data = nullptr;
};

// A section's debug list as the export adapter reads it ("the tree").
struct IDebugTree {
    virtual ~IDebugTree() = default;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnCaption(int column) const = 0;
    virtual size_t RowCount() const = 0;               // every row, filtered out or not
    virtual TDebugRowView Row(size_t index) const = 0; // index < RowCount()
};

// A section's billboard as the export adapter reads it ("the list box").
struct IMessageListBox {
    virtual ~IMessageListBox() = default;
    virtual int ColumnCount() const = 0; // header sections
    virtual std::string ColumnCaption(int column) const = 0;
    virtual size_t ItemCount() const = 0;
    virtual std::string Item(size_t index) const = 0;
    virtual char Delimiter() const = 0;
    // Part `column` of an item, split the way the list shows it.
    virtual std::string ItemPart(size_t index, int column) const = 0;
};

} // namespace vx
