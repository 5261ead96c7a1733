// GDI painting of the side bar's controls. Each function draws one control
// on a device context in its client coordinates; the layout comes from the
// portable geometry (SideBarGeometry.h).
#pragma once

#include "sidebar/vxOutlookBar.h"

#include <windows.h>

namespace vx {

// A side-bar colour as a COLORREF; a system colour is looked up.
COLORREF SideBarColorRef(TColor c);

// The bar's face and frame (its headers are windows of their own).
void PaintOutlookBar(HDC dc, TvxOutlookBar& bar);
// A header's body background and caption strip; it does not re-lay out.
void PaintOutlookHeader(HDC dc, TvxOutlookBarHeader& header);
// A button, drawn off-screen and copied to dc whole.
void PaintOutlookButton(HDC dc, TOutlookButton& button);
void PaintScrollButton(HDC dc, TScrollButton& button);
// A gradient's bands over r.
void PaintGradient(HDC dc, const TGradient& gradient, const sbar::TRect& r);

} // namespace vx
