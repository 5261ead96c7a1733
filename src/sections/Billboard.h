// The section's billboard: numbered message lines "ID|message", the user's
// commands on them, and the list-box view an export reads.
#pragma once

#include "platform/Platform.h"
#include "sections/DebugRowSource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

struct TBillboardMenuState {
    bool EditMessage = false;
    bool InsertMessage = false;
    bool DeleteMessage = false;
    bool ClearMessages = false;
};

class TBillboard : public IMessageListBox {
  public:
    static constexpr size_t npos = size_t(-1);
    static constexpr char kDelimiter = '|';

    size_t Count() const { return lines_.size(); }
    const std::string& Line(size_t index) const { return lines_.at(index); }
    size_t Selected() const { return selected_; }
    void Select(size_t index) { selected_ = index < lines_.size() ? index : npos; }

    // Appends "N|text" with N the new line's number; the text is taken as it is.
    void AddNumbered(const std::string& text);
    void Clear();
    // Every line as it was stored (a session read from a file).
    void Assign(const std::vector<std::string>& lines) {
        Clear();
        lines_ = lines;
    }
    // Rewrites every line as its 1-based position, "|", its message.
    void RenumberMessages();

    // The user's commands; each asks through an input box and returns whether
    // the lines changed. "|" in an answer becomes "?" so it cannot split a line.
    // Client lines may arrive while a box is open; an edit or insert whose line
    // a client cleared away meanwhile is dropped.
    bool UserAdd(IDialogs& dialogs);
    bool UserEdit(IDialogs& dialogs);
    bool UserInsert(IDialogs& dialogs);
    bool UserDelete();
    TBillboardMenuState MenuState() const;

    // A line splits at its first "|": the ID before it, the message after it
    // (further bars belong to the message, so renumbering never loses text).
    static std::string_view IdPart(std::string_view line);
    static std::string_view MessagePart(std::string_view line);

    // IMessageListBox
    int ColumnCount() const override { return 2; }
    std::string ColumnCaption(int column) const override;
    size_t ItemCount() const override { return lines_.size(); }
    std::string Item(size_t index) const override { return lines_.at(index); }
    char Delimiter() const override { return kDelimiter; }
    std::string ItemPart(size_t index, int column) const override;

  private:
    static std::string AskMessage(IDialogs& dialogs, const char* caption, const std::string& def);

    std::vector<std::string> lines_;
    size_t selected_ = npos;
    uint64_t generation_ = 0; // changes whenever existing lines move or go
};

} // namespace vx
