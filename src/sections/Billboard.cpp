#include "Billboard.h"

#include <algorithm>

namespace vx {

namespace {

std::string Numbered(size_t number, std::string_view message) {
    std::string line = std::to_string(number);
    line += TBillboard::kDelimiter;
    line += message;
    return line;
}

std::string WithoutBars(std::string answer) {
    std::replace(answer.begin(), answer.end(), TBillboard::kDelimiter, '?');
    return answer;
}

} // namespace

void TBillboard::AddNumbered(const std::string& text) {
    lines_.push_back(Numbered(lines_.size() + 1, text));
}

void TBillboard::Clear() {
    ++generation_;
    std::vector<std::string>().swap(lines_);
    selected_ = npos;
}

void TBillboard::RenumberMessages() {
    for (size_t i = 0; i < lines_.size(); ++i)
        lines_[i] = Numbered(i + 1, MessagePart(lines_[i]));
}

std::string TBillboard::AskMessage(IDialogs& dialogs, const char* caption, const std::string& def) {
    return dialogs.InputBox(caption, "Message Text: ", def);
}

bool TBillboard::UserAdd(IDialogs& dialogs) {
    std::string answer = AskMessage(dialogs, "Add Message", "");
    if (answer.empty()) return false;
    AddNumbered(WithoutBars(answer));
    return true;
}

bool TBillboard::UserEdit(IDialogs& dialogs) {
    if (selected_ == npos) return false;
    size_t line = selected_;
    uint64_t generation = generation_;
    std::string old(MessagePart(lines_[line]));
    std::string answer = AskMessage(dialogs, "Edit Message", old);
    // An unchanged answer (also a cancel) keeps the line as it is, bars and all.
    if (answer.empty() || answer == old || generation != generation_) return false;
    std::string text(IdPart(lines_[line]));
    text += kDelimiter;
    text += WithoutBars(answer);
    lines_[line] = std::move(text);
    return true;
}

bool TBillboard::UserInsert(IDialogs& dialogs) {
    if (selected_ == npos) return false;
    size_t line = selected_;
    uint64_t generation = generation_;
    std::string answer = AskMessage(dialogs, "Insert Message", "");
    if (answer.empty() || generation != generation_) return false;
    lines_.insert(lines_.begin() + ptrdiff_t(line), "XX|" + WithoutBars(answer));
    ++generation_;
    // The selection stays on the line it was on.
    if (selected_ != npos && selected_ >= line) ++selected_;
    RenumberMessages();
    return true;
}

bool TBillboard::UserDelete() {
    if (selected_ == npos) return false;
    lines_.erase(lines_.begin() + ptrdiff_t(selected_));
    ++generation_;
    selected_ = npos;
    RenumberMessages();
    return true;
}

TBillboardMenuState TBillboard::MenuState() const {
    bool sel = selected_ != npos;
    return {sel, sel, sel, !lines_.empty()};
}

std::string_view TBillboard::IdPart(std::string_view line) {
    return line.substr(0, line.find(kDelimiter));
}

std::string_view TBillboard::MessagePart(std::string_view line) {
    size_t bar = line.find(kDelimiter);
    return bar == std::string_view::npos ? std::string_view() : line.substr(bar + 1);
}

std::string TBillboard::ColumnCaption(int column) const {
    switch (column) {
    case 0:
        return "ID";
    case 1:
        return "Message";
    default:
        return "";
    }
}

std::string TBillboard::ItemPart(size_t index, int column) const {
    const std::string& line = lines_.at(index);
    switch (column) {
    case 0:
        return std::string(IdPart(line));
    case 1:
        return std::string(MessagePart(line));
    default:
        return "";
    }
}

} // namespace vx
