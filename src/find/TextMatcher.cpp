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

TMatchResult TTextMatcher::Matches(std::string_view text, TRegexScan& scan, size_t& work) const {
    if (valid_ && kind_ == mkRegularExpression) {
        switch (regex_.Search(text, scan, work)) {
        case TRegex::srMatch:
            return mrYes;
        case TRegex::srMore:
            return mrMore;
        default:
            return mrNo;
        }
    }
    // A plain search reads some bytes per unit; the row it is in costs one.
    size_t cost = 1 + text.size() / 8;
    work = cost < work ? work - cost : 0;
    return Matches(text) ? mrYes : mrNo;
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
