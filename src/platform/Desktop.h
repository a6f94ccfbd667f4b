#pragma once
// Finding and activating a top-level window, and typing text into the window that has the
// keyboard focus.
#include <cstdint>
#include <string>

namespace corv {

// Tag carried by every key event the program injects, so that its own keys are recognisable.
inline constexpr std::uintptr_t kInjectedKeyTag = 0x43525658; // "CRVX"

class Desktop {
  public:
    using Window = std::uintptr_t; // 0: none
    virtual ~Desktop() = default;
    // The top-level window with exactly this title, or 0.
    virtual Window FindTopLevelWindow(const std::wstring& title) = 0;
    // Makes the window the foreground window; true when the system reports success.
    virtual bool SetForeground(Window window) = 0;
    // Waits, at most timeoutMs, until the window is the foreground window and a control of its
    // thread has the keyboard focus. True when that happened.
    virtual bool WaitUntilFocused(Window window, int timeoutMs) = 0;
    // Types every character as itself (no command characters); a carriage return is the Enter
    // key. With waitUntilProcessed, returns once the receiving application has processed the
    // keys, or after a bounded wait when it does not answer.
    virtual void TypeText(const std::wstring& text, bool waitUntilProcessed) = 0;
};

} // namespace corv
