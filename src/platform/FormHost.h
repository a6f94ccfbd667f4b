#pragma once
// What the window behaviour asks of a top-level window beyond its controls: showing and hiding
// it, the popup menu, a modal message box, and its placement on the screen.
#include <string>

#include "platform/WindowLayer.h"

namespace corv {

// A rectangle in screen units (the window layer's choice; the same unit everywhere).
struct ScreenBox {
    long long left = 0;
    long long top = 0;
    long long width = 0;
    long long height = 0;
};

class FormHost {
  public:
    virtual ~FormHost() = default;
    virtual void Show() = 0; // modeless, brought to the front
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    // Shows the entries of a menu control as a popup menu at the mouse position.
    virtual void ShowPopupMenu(Control& menu) = 0;
    // A modal message box with one OK button; returns when it is closed.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& title) = 0;
    virtual ScreenBox ScreenSize() const = 0; // width and height of the screen
    virtual ScreenBox Placement() const = 0;  // the window's outer rectangle
    virtual void MoveTo(long long left, long long top) = 0;
};

} // namespace corv
