#pragma once
// A desktop of top-level windows by title, one of them in the foreground, that records every
// call and the text typed into the focused window.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace corv::fake {

class FakeDesktop : public DeliveryDesktop {
  public:
    // Adds a top-level window; returns its handle.
    Window AddWindow(const std::wstring& title);

    Window FindTopLevelWindow(const std::wstring& title) override;
    bool RestoreIfMinimised(Window window) override;
    bool SetForeground(Window window) override;
    bool WaitUntilFocused(Window window, int timeoutMs) override;
    std::vector<int> WaitForModifiersUp(int timeoutMs) override;
    void TypeText(const std::wstring& text, bool waitUntilProcessed) override;
    bool TypeCode(const std::wstring& text, const std::vector<int>& releaseFirst) override;

    // Fault injection.
    bool refuseForeground = false; // SetForeground reports failure and changes nothing
    bool refuseKeys = false;       // the system takes none of the typed keys

    Window foreground = 0;
    std::set<Window> minimised;     // as the system, a minimised window takes no foreground
    std::vector<int> held;          // modifier keys down; a key-up typed lets one go
    std::vector<int> heldUntilWait; // keys let go during the wait for modifiers
    // Every call in order: "find <title>", "restore <n>", "foreground <n>", "wait <n> <ms>",
    // "modifiers <ms>", "type <text>" (with " (wait)" when asked to wait, and " after up <vk>..."
    // for the keys a typed code lets go first).
    std::vector<std::wstring> calls;
    // All text typed, per window that was in the foreground (0: none); a character typed
    // while a modifier is held is recorded as "<vk>+<character>".
    std::map<Window, std::wstring> typed;
    // Runs on every TypeText, as the keys pass through the system (e.g. a keyboard hook).
    std::function<void(const std::wstring&)> onType;

  private:
    void Arrive(const std::wstring& text);
    std::map<Window, std::wstring> windows_;
    Window next_ = 100;
};

} // namespace corv::fake
