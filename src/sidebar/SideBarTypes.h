// Plain types of the side bar: enumerations, event signatures, rectangles and
// the colour and key constants its model and geometry work with. Helper types
// that are not part of the bar's published surface live in vx::sbar so they
// cannot clash with the widget layer's own.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <functional>

namespace vx {

class TvxOutlookBarHeader;

namespace sbar {
// Common base of every side-bar object, so an event names its sender.
class TObject {
  public:
    virtual ~TObject() = default;
};
} // namespace sbar

enum class TButtonStyle { bsSmall, bsLarge };
enum class TBitmapCopy { bcMergeCopy, bcMergePaint, bcSrcCopy, bcSrcErase, bcSrcPaint };
enum class TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphCenter };
enum class TArrowStyle { asUp, asDown };
enum class TGradientType { gtl2r, gts2c, gtt2b, gttb2c };
enum class TBackStyle { bsNormal, bsGradient };
using TButtonIndex = int; // -1..32767

using TEventCanChangeHeader =
    std::function<void(sbar::TObject* Sender, TvxOutlookBarHeader* NewHeader, bool& CanChange)>;
using TEventHeaderChange = std::function<void(sbar::TObject* Sender, int OldIndex, int NewIndex)>;
using TEventCanSortButtons = std::function<void(sbar::TObject* Sender, bool& CanSort)>;
using TEventCheckScroll = std::function<void(sbar::TObject* Sender, bool& ScrollUpNeed,
                                             bool& ScrollDownNeed, bool& Automatic)>;

namespace sbar {

using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyle { bsNone, bsSingle };
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The bar also paints with the program's named colours (platform/Platform.h).
inline constexpr TColor clGray = 0x808080;

// Virtual-key codes the bar reacts to.
inline constexpr int kKeyReturn = 0x0D;
inline constexpr int kKeyPageUp = 0x21;
inline constexpr int kKeyPageDown = 0x22;

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    TRect Inflated(int d) const { return {Left - d, Top - d, Right + d, Bottom + d}; }
    bool operator==(const TRect&) const = default;
};

// Multiplies, then divides with rounding to the nearest integer (halves away
// from zero), like the Windows call of that name; -1 for a zero divisor.
int MulDiv(int number, int numerator, int denominator);

} // namespace sbar
} // namespace vx
