// The side bar as Win32 windows.
//
// The bar, each header, each button and each scroll arrow is a child window
// that shows one object of the portable model (vxOutlookBar.h) and feeds it
// the mouse and keyboard. The model owns its windows: freeing the bar (or
// deleting a header or button) destroys them.
//
// Use from a window:
//
//   auto bar = std::make_unique<vx::TvxOutlookBar>();
//   bar->SetBounds(0, 0, 130, clientHeight);        // or let the window move it
//   HWND h = vx::CreateOutlookBarWindow(*bar, hwndMain);
//   auto large = vx::MakeSideBarImages(himl32);     // keep alive while in use
//   vx::TvxOutlookBarHeader* app = bar->AddHeader("client.exe");  // opens it
//   app->Hint = "C:\\path\\client.exe";
//   vx::TOutlookButton* b = app->AddButton("Section 1");
//   b->SetLargeImages(large.get());
//   b->SetImageIndex(1);
//   b->Tag = sectionNumber;
//   b->OnClick = [](vx::sbar::TObject* sender) { ... };
//   bar->HeaderSettings().SetButtonStyle(vx::TButtonStyle::bsSmall);  // all buttons
//   app->DeleteButton(0); bar->DeleteHeader(0);
//
// Moving the bar: bar->SetBounds(...), or move its HWND (MoveWindow,
// DeferWindowPos): the model follows. bar->SetVisible(false) hides it.
// Context menu: set bar->PopupMenu (an HMENU as uintptr_t); a right click on
// the bar or any part of it tracks that menu with the top-level window as
// owner, so its commands arrive there as WM_COMMAND. Without one the
// WM_CONTEXTMENU goes on to the parent window.
// Accelerators: a focused header or button routes WM_CHAR and WM_SYSCHAR to
// the bar itself. For Alt+letter while the focus is elsewhere, the main
// window calls bar->DialogChar(ch, true) from its WM_SYSCHAR and stops when
// it returns true.
// Colours: the bar repaints on WM_SYSCOLORCHANGE; the main window should
// forward that message to the bar's window.
#pragma once

#include "sidebar/vxOutlookBar.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace vx {

// Creates the windows of the bar and of everything it holds so far, as a
// child of parent at the bar's bounds. Later headers and buttons get their
// windows as they are added. Returns the bar's window.
HWND CreateOutlookBarWindow(TvxOutlookBar& bar, HWND parent);

// The window showing a control, or nullptr before it has one.
HWND OutlookWindow(const TOutlookControl& control);

// An image list for the bar's Images or a button's LargeImages/SmallImages;
// it does not own the HIMAGELIST.
std::unique_ptr<TSideBarImages> MakeSideBarImages(HIMAGELIST list);
// Points `images` at another list (pictures of another size); its users repaint.
void SetSideBarImages(TSideBarImages& images, HIMAGELIST list);

// Copies a GDI bitmap into a header's tiled background bitmap.
void LoadSideBarBitmap(TSideBarBitmap& target, HBITMAP source);

} // namespace vx
