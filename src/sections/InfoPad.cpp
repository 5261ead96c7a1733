#include "InfoPad.h"

namespace vx {

namespace {

constexpr const char* kNoname = "Noname info";
constexpr size_t kMaxCaption = 13;
constexpr size_t kCaptionTail = 10;

} // namespace

TInfoPad::TInfoPad() {
    // The captions the pad shows before anything is set.
    lines_[0].Caption = "1st Info Line";
    lines_[1].Caption = "2nd Info Line";
    lines_[2].Caption = "3rd Info Line";
}

TInfoLine TInfoPad::Parse(std::string_view text) {
    size_t bar = text.find('|');
    if (bar == std::string_view::npos) return {kNoname, std::string(text)};
    TInfoLine line{std::string(text.substr(0, bar)), std::string(text.substr(bar + 1))};
    if (bar == 0)
        line.Caption = kNoname;
    else if (line.Caption.size() > kMaxCaption)
        line.Caption = "..." + line.Caption.substr(line.Caption.size() - kCaptionTail);
    return line;
}

void TInfoPad::Set(int index, std::string_view text) {
    if (index < 1 || index > kLines) return;
    lines_[index - 1] = Parse(text);
}

void TInfoPad::Clear() {
    lines_[0] = {"1st Infoline", ""};
    lines_[1] = {"2nd Infoline", ""};
    lines_[2] = {"3rd Infoline", ""};
}

} // namespace vx
