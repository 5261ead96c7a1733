#include "RowStore.h"

#include <algorithm>
#include <stdexcept>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vx {

namespace {

const char* const kColumnCaptions[TDebugRowStore::kColumnCount] = {"Group", "Type", "Message",
                                                                   "Time"};

std::string_view Cut(const std::string& s) {
    return std::string_view(s).substr(0, TTextArena::kMaxText);
}

} // namespace

void ReturnFreeMemory() {
#if defined(__GLIBC__)
    // glibc keeps freed small chunks in its heap; trimming hands them back.
    malloc_trim(0);
#endif
}

TRowRecord TDebugRowStore::MakeRecord(TDebugInfoRec& rec) {
    if (rows_.size() >= UINT32_MAX) throw std::length_error("too many rows");
    TRowRecord r;
    r.Group = rec.Group;
    r.Kind = rec.Kind;
    r.Time = rec.Time;
    r.LineNumber = rec.LineNumber;
    r.UnitName = names_.Intern(Cut(rec.UnitName));
    r.ProcName = names_.Intern(Cut(rec.ProcName));
    std::string_view text = Cut(rec.Text);
    r.TextRef = arena_.Add(text);
    r.TextLength = uint8_t(text.size());
    // A block is only data when its size says so; any other block is freed here
    // rather than left to leak.
    if (rec.Data && rec.DataSize > 0) {
        r.DataSize = rec.DataSize;
        r.Data = std::move(rec.Data);
    }
    rec.Data.reset();
    rec.DataSize = 0;
    return r;
}

void TDebugRowStore::GrowIfFull() {
    rows_.reserve_one();
}

// Geometric growth: reserving one more slot per row would copy the whole index
// on every append while a filter is active.
void TDebugRowStore::GrowShownIfFull() {
    if (visible_.size() == visible_.capacity()) visible_.reserve(visible_.size() * 2 + 16);
}

// Counts a row once it is safely in the list.
void TDebugRowStore::Adopted(const TRowRecord& r) {
    liveText_ += r.TextLength;
    if (r.Data) {
        ++dataBlocks_;
        dataBytes_ += size_t(r.DataSize);
    }
}

size_t TDebugRowStore::Append(TDebugInfoRec& rec) {
    // Room first, so nothing can fail once the record holds the data.
    if (hidden_) GrowShownIfFull();
    GrowIfFull();
    rows_.push_back(MakeRecord(rec));
    Adopted(rows_.back());
    size_t row = rows_.size() - 1;
    if (hidden_) visible_.push_back(uint32_t(row));
    if (listener_) listener_->RowAppended(row);
    return row;
}

void TDebugRowStore::Insert(size_t before, TDebugInfoRec& rec) {
    if (before > rows_.size()) throw std::out_of_range("row index");
    if (hidden_) GrowShownIfFull();
    GrowIfFull();
    rows_.insert(before, MakeRecord(rec));
    ++generation_;
    Adopted(rows_[before]);
    if (hidden_) {
        auto pos = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(before));
        for (auto it = pos; it != visible_.end(); ++it)
            ++*it;
        visible_.insert(pos, uint32_t(before));
    }
    if (listener_) listener_->RowInserted(before);
}

void TDebugRowStore::SetText(size_t row, std::string_view text) {
    TRowRecord& r = rows_.at(row);
    text = text.substr(0, TTextArena::kMaxText);
    liveText_ -= r.TextLength;
    r.TextRef = arena_.Add(text);
    r.TextLength = uint8_t(text.size());
    liveText_ += text.size();
    CompactTextsIfWasteful();
    if (listener_) listener_->RowEdited(row);
}

void TDebugRowStore::ReleaseData(TRowRecord& r) {
    if (r.Data) {
        --dataBlocks_;
        dataBytes_ -= size_t(r.DataSize);
    }
    r.Data.reset();
    r.DataSize = 0;
}

void TDebugRowStore::Erase(size_t row) {
    TRowRecord& r = rows_.at(row);
    ++generation_;
    ReleaseData(r);
    liveText_ -= r.TextLength;
    if (hidden_) {
        auto pos = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(row));
        if (pos != visible_.end() && *pos == row) pos = visible_.erase(pos);
        for (auto it = pos; it != visible_.end(); ++it)
            --*it;
        if (r.Hidden && --hidden_ == 0) std::vector<uint32_t>().swap(visible_);
    }
    rows_.erase(row);
    if (listener_) listener_->RowErased(row);
    if (rows_.empty())
        Clear();
    else
        CompactTextsIfWasteful();
}

void TDebugRowStore::Adopt(TDebugRowStore& other) {
    if (&other == this) return;
    Clear();
    rows_.swap(other.rows_);
    arena_.Swap(other.arena_);
    std::swap(names_, other.names_);
    std::swap(liveText_, other.liveText_);
    std::swap(hidden_, other.hidden_);
    visible_.swap(other.visible_);
    std::swap(dataBlocks_, other.dataBlocks_);
    std::swap(dataBytes_, other.dataBytes_);
    ++generation_;
    other.Clear();
    if (listener_)
        for (size_t i = 0; i < rows_.size(); ++i)
            listener_->RowAppended(i);
}

void TDebugRowStore::DropFront(size_t count) {
    if (count == 0) return;
    if (count >= rows_.size()) {
        Clear();
        return;
    }
    ++generation_;
    size_t hiddenGone = 0;
    for (size_t i = 0; i < count; ++i) {
        TRowRecord& r = rows_[i];
        ReleaseData(r);
        liveText_ -= r.TextLength;
        hiddenGone += r.Hidden;
    }
    rows_.erase_front(count);
    if (hidden_) {
        hidden_ -= hiddenGone;
        if (hidden_ == 0) {
            std::vector<uint32_t>().swap(visible_);
        } else {
            auto keep = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(count));
            visible_.erase(visible_.begin(), keep);
            for (uint32_t& v : visible_)
                v -= uint32_t(count);
        }
    }
    if (listener_) listener_->RowsDropped(count);
    CompactTextsIfWasteful();
}

void TDebugRowStore::Clear() {
    ++generation_;
    rows_.for_each([this](TRowRecord& r) { ReleaseData(r); });
    rows_.clear();
    std::vector<uint32_t>().swap(visible_);
    arena_.Clear();
    names_.Clear();
    liveText_ = 0;
    hidden_ = 0;
    ReturnFreeMemory();
    if (listener_) listener_->RowsCleared();
}

// Edits and deletes leave dead text behind; once it outweighs the live text,
// the live texts are copied into a fresh arena.
void TDebugRowStore::CompactTextsIfWasteful() {
    size_t dead = arena_.BytesUsed() - liveText_;
    if (dead < 65536 || dead < liveText_) return;
    TTextArena fresh;
    rows_.for_each(
        [&](TRowRecord& r) { r.TextRef = fresh.Add(arena_.Get(r.TextRef, r.TextLength)); });
    arena_.Swap(fresh);
}

void TDebugRowStore::ShowGroup(int group) {
    if (group < 0) {
        rows_.for_each([](TRowRecord& r) { r.Hidden = 0; });
        hidden_ = 0;
        std::vector<uint32_t>().swap(visible_);
        if (listener_) listener_->GroupShown();
        return;
    }
    // One pass that marks the rows and collects the shown ones.
    visible_.clear();
    visible_.reserve(rows_.size());
    size_t i = 0;
    rows_.for_each([&](TRowRecord& r) {
        r.Hidden = r.Group != group;
        if (!r.Hidden) visible_.push_back(uint32_t(i));
        ++i;
    });
    hidden_ = rows_.size() - visible_.size();
    if (!hidden_) std::vector<uint32_t>().swap(visible_);
    if (listener_) listener_->GroupShown();
}

size_t TDebugRowStore::VisibleOfRow(size_t row) const {
    if (row >= rows_.size() || rows_[row].Hidden) return npos;
    if (!hidden_) return row;
    auto pos = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(row));
    return size_t(pos - visible_.begin());
}

size_t TDebugRowStore::MemoryReserved() const {
    return rows_.capacity_bytes() + visible_.capacity() * sizeof(uint32_t) +
           arena_.BytesReserved() + dataBytes_;
}

std::string TDebugRowStore::ColumnCaption(int column) const {
    return column >= 0 && column < kColumnCount ? kColumnCaptions[column] : "";
}

TDebugRowView TDebugRowStore::Row(size_t index) const {
    const TRowRecord& r = rows_.at(index);
    TDebugRowView v;
    v.Group = r.Group;
    v.Kind = r.Kind;
    v.Text = Text(index);
    v.Time = r.Time;
    v.UnitName = UnitName(index);
    v.ProcName = ProcName(index);
    v.LineNumber = r.LineNumber;
    v.DataSize = r.DataSize;
    v.Data = r.Data.get();
    return v;
}

} // namespace vx
