// The rows of a section's debug list: one compact record per row, texts in a
// packed arena, unit and procedure names interned, attached data owned by its
// row. Also keeps which rows the group filter shows, as the index of shown
// rows that an owner-data list control reads.
#pragma once

#include "BlockVector.h"
#include "NameTable.h"
#include "TextArena.h"
#include "protocol/Common_Types.h"
#include "sections/DebugRowSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vx {

struct TRowRecord {
    TDateTime Time = 0;
    std::unique_ptr<uint8_t[]> Data; // the row's own copy; freed with the row
    int32_t LineNumber = 0;
    int32_t DataSize = 0;  // 0 when Data is null
    uint32_t TextRef = 0;  // into the store's text arena
    uint32_t UnitName = 0; // ids in the store's name table
    uint32_t ProcName = 0;
    uint8_t TextLength = 0;
    uint8_t Group = 0;
    uint8_t Kind = 0;
    uint8_t Hidden = 0; // height 0 since the last filter
};
static_assert(sizeof(TRowRecord) <= 40, "a row record must stay compact");

// Hears of every change to a store's rows, just after it is made, so that
// what is derived from the rows (find marks, rule results, bookmarks) follows
// them without scanning again.
struct IRowStoreListener {
    virtual ~IRowStoreListener() = default;
    virtual void RowAppended(size_t row) = 0;
    virtual void RowInserted(size_t row) = 0;
    virtual void RowErased(size_t row) = 0; // rows after it moved up by one
    virtual void RowEdited(size_t row) = 0;
    virtual void RowsCleared() = 0;
    virtual void GroupShown() = 0; // ShowGroup changed which rows are hidden
    // The oldest `count` rows went at once (the history limit); every later
    // row moved up by `count`. Listeners that keep row numbers should shift
    // them in one pass; this fallback is correct but erases one at a time.
    virtual void RowsDropped(size_t count) {
        for (size_t i = 0; i < count; ++i)
            RowErased(0);
    }
};

class TDebugRowStore : public IDebugTree {
  public:
    static constexpr size_t npos = size_t(-1);
    static constexpr int kColumnCount = 4;

    TDebugRowStore() = default;
    TDebugRowStore(const TDebugRowStore&) = delete;
    TDebugRowStore& operator=(const TDebugRowStore&) = delete;

    // Appends a row made of rec's row fields. The row takes over rec.Data (rec
    // is left with none); a block with DataSize 0 or less is released at once.
    // Text and names longer than 255 characters are cut. Returns the row index.
    size_t Append(TDebugInfoRec& rec);
    // Inserts a shown row before row `before` (Count() appends).
    void Insert(size_t before, TDebugInfoRec& rec);
    void SetText(size_t row, std::string_view text);
    // Frees one row and its data.
    void Erase(size_t row);
    // Frees every row and gives the memory back.
    void Clear();
    // Takes every row of `other` in place of its own (a session read from a
    // file); `other` is left empty. The listener hears of a clear, then of
    // each row appended.
    void Adopt(TDebugRowStore& other);
    // Frees the oldest `count` rows (all when more); the rest do not move but in a
    // short list.
    void DropFront(size_t count);

    size_t Count() const { return rows_.size(); }
    const TRowRecord& Record(size_t row) const { return rows_[row]; }
    std::string_view Text(size_t row) const {
        return arena_.Get(rows_[row].TextRef, rows_[row].TextLength);
    }
    std::string_view UnitName(size_t row) const { return names_.Name(rows_[row].UnitName); }
    std::string_view ProcName(size_t row) const { return names_.Name(rows_[row].ProcName); }

    // Changes whenever existing rows move or go (insert, erase, clear); appends
    // leave it alone. A command that waits on the user checks it to know that
    // the row it asked about is still where it was.
    uint64_t Generation() const { return generation_; }

    // Shows the rows of one group and hides the others; group -1 shows all.
    void ShowGroup(int group);
    bool IsShown(size_t row) const { return !rows_[row].Hidden; }
    size_t VisibleCount() const { return hidden_ ? visible_.size() : rows_.size(); }
    size_t RowOfVisible(size_t visible) const { return hidden_ ? visible_[visible] : visible; }
    // Position of a row among the shown rows, npos when it is hidden.
    size_t VisibleOfRow(size_t row) const;

    // One listener at most; null for none. The listener must outlive its
    // registration.
    void SetListener(IRowStoreListener* listener) { listener_ = listener; }

    // Attached data blocks currently held, and their bytes.
    size_t DataBlocks() const { return dataBlocks_; }
    size_t DataBytes() const { return dataBytes_; }
    // Bytes reserved for rows, texts, names and the shown-row index.
    size_t MemoryReserved() const;

    // IDebugTree: what an export reads, every row whether shown or not.
    int ColumnCount() const override { return kColumnCount; }
    std::string ColumnCaption(int column) const override;
    size_t RowCount() const override { return rows_.size(); }
    TDebugRowView Row(size_t index) const override;

  private:
    TRowRecord MakeRecord(TDebugInfoRec& rec);
    void Adopted(const TRowRecord& r);
    void GrowIfFull();
    void GrowShownIfFull();
    void ReleaseData(TRowRecord& r);
    void CompactTextsIfWasteful();

    TBlockVector<TRowRecord> rows_;
    TTextArena arena_;
    TNameTable names_;
    size_t liveText_ = 0;           // text bytes that rows still refer to
    size_t hidden_ = 0;             // rows with Hidden set
    std::vector<uint32_t> visible_; // shown rows in order; only while some are hidden
    size_t dataBlocks_ = 0;
    size_t dataBytes_ = 0;
    uint64_t generation_ = 0;
    IRowStoreListener* listener_ = nullptr;
};

// Gives freed heap memory back to the system where the C library allows it.
void ReturnFreeMemory();

} // namespace vx
