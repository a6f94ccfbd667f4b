#pragma once
// Finding and activating a top-level window, and typing text into the window that has the
// keyboard focus.
#include <cstdint>
#include <string>
#include <vector>

namespace corv {

// Tag carried by every key event the program injects, so that its own keys are recognisable.
inline constexpr std::uintptr_t kInjectedKeyTag = 0x43525658; // "CRVX"

class Desktop {
  public:
    using Window = std::uintptr_t; // 0: none
    virtual ~Desktop() = default;
    // The top-level window with exactly this title, or 0.
    virtual Window FindTopLevelWindow(const std::wstring& title) = 0;
    // Makes the window the foreground window, by the means the system allows a background
    // program; true when it is the foreground window afterwards.
    virtual bool SetForeground(Window window) = 0;
    // Waits, at most timeoutMs, until the window is the foreground window and a control of its
    // thread has the keyboard focus. True when that happened.
    virtual bool WaitUntilFocused(Window window, int timeoutMs) = 0;
    // Types every character as itself (no command characters); a carriage return is the Enter
    // key. With waitUntilProcessed, returns once the receiving application has processed the
    // keys, or after a bounded wait when it does not answer.
    virtual void TypeText(const std::wstring& text, bool waitUntilProcessed) = 0;
};

// What the delivery of a code needs beyond that: a minimised target, the keys the user holds,
// and typing that knows whether every key was taken.
class DeliveryDesktop : public Desktop {
  public:
    // Restores the window when it is minimised; true when it was.
    virtual bool RestoreIfMinimised(Window window) = 0;
    // Waits, at most timeoutMs, until Shift, Ctrl, Alt and the Windows keys are all up; returns
    // the virtual-key codes of those still down.
    virtual std::vector<int> WaitForModifiersUp(int timeoutMs) = 0;
    // As TypeText, waiting until processed, with the keys of releaseFirst let go (key-ups) ahead
    // of the text in the same input, so that nothing the user does comes between. False when the
    // system took fewer key events than it was given (a locked workstation), typing stopping
    // there, or when the window in front runs at a higher integrity level, whose keys the system
    // drops without saying so (nothing is typed then).
    virtual bool TypeCode(const std::wstring& text, const std::vector<int>& releaseFirst) = 0;
};

} // namespace corv
