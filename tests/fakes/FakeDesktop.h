#pragma once
// A desktop of top-level windows by title, one of them in the foreground, that records every
// call and the text typed into the focused window.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace corv::fake {

class FakeDesktop : public Desktop {
  public:
    // Adds a top-level window; returns its handle.
    Window AddWindow(const std::wstring& title);

    Window FindTopLevelWindow(const std::wstring& title) override;
    bool SetForeground(Window window) override;
    bool WaitUntilFocused(Window window, int timeoutMs) override;
    void TypeText(const std::wstring& text, bool waitUntilProcessed) override;

    // Fault injection.
    bool refuseForeground = false; // SetForeground reports failure and changes nothing
    bool focusNeverArrives = false;

    Window foreground = 0;
    // Every call in order: "find <title>", "foreground <n>", "wait <n> <ms>", "type <text>"
    // (with " (wait)" when asked to wait).
    std::vector<std::wstring> calls;
    // All text typed, per window that was in the foreground (0: none).
    std::map<Window, std::wstring> typed;
    // Runs on every TypeText, as the keys pass through the system (e.g. a keyboard hook).
    std::function<void(const std::wstring&)> onType;

  private:
    std::map<Window, std::wstring> windows_;
    Window next_ = 100;
};

} // namespace corv::fake
