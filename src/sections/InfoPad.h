// The section's info pad: three named values that a client sets by index.
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct TInfoLine {
    std::string Caption;
    std::string Value;
};

class TInfoPad {
  public:
    static constexpr int kLines = 3;

    TInfoPad();
    // Sets line 1, 2 or 3 from "caption|value"; other indices change nothing.
    void Set(int index, std::string_view text);
    // What "Clear Info Pad" leaves: numbered captions and empty values.
    void Clear();
    // Sets line 1, 2 or 3 as it was stored (a session read from a file).
    void SetLine(int index, const TInfoLine& line) {
        if (index >= 1 && index <= kLines) lines_[index - 1] = line;
    }
    const TInfoLine& Line(int index) const { return lines_[index - 1]; } // 1..3

    // Splits at the first "|"; a missing or empty caption is "Noname info", and
    // a caption longer than 13 characters is shown as "..." and its last 10.
    static TInfoLine Parse(std::string_view text);

  private:
    TInfoLine lines_[kLines];
};

} // namespace vx
