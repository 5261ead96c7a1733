#include "TextMatcher.h"

#include "ByteText.h"

namespace vx {

bool TTextMatcher::Compile(const TMatchQuery& query, std::string& error) {
    error.clear();
    kind_ = query.Kind;
    wholeWord_ = query.WholeWord;
    valid_ = false;
    if (kind_ > mkRegularExpression) {
        error = "Unknown kind of match";
        return false;
    }
    if (kind_ == mkRegularExpression) {
        valid_ = regex_.Compile(query.Pattern, query.MatchCase, query.WholeWord, error);
        return valid_;
    }
    if (query.Pattern.size() > kMaxPattern) {
        error = "The search text is longer than 1000 characters";
        return false;
    }
    plain_.Reset(query.Pattern, query.MatchCase);
    valid_ = true;
    return true;
}

bool TTextMatcher::Bounded(std::string_view text, size_t pos, size_t size) const {
    if (!wholeWord_) return true;
    if (pos > 0 && IsWordByte(uint8_t(text[pos - 1]))) return false;
    size_t end = pos + size;
    return end >= text.size() || !IsWordByte(uint8_t(text[end]));
}

bool TTextMatcher::Matches(std::string_view text) const {
    if (!valid_) return false;
    size_t n = plain_.Size();
    switch (kind_) {
    case mkEquals:
        return text.size() == n && plain_.At(text, 0);
    case mkStartsWith:
        return text.size() >= n && plain_.At(text, 0) && Bounded(text, 0, n);
    case mkContains:
        for (size_t pos = plain_.Find(text, 0); pos != TPlainSearch::npos;
             pos = plain_.Find(text, pos + 1))
            if (Bounded(text, pos, n)) return true;
        return false;
    case mkRegularExpression:
        return regex_.Search(text);
    }
    return false;
}

} // namespace vx
