#pragma once
// Top-level windows by title, one in front, and the system's keystroke loopback: every key the
// program injects (typed text, keys given back) passes the keyboard hook, as the program's own.
#include <algorithm>
#include <functional>
#include <map>

#include "FakeCodePage.h"
#include "core/Hook.h"

namespace corv::fake {

inline constexpr std::uint32_t kVkPacket = 0xE7; // a character typed as itself

class FakeDesktop : public DeliveryDesktop, public KeyInjector {
  public:
    Window AddWindow(const std::wstring& title) {
        titles_[++last_] = title;
        return last_;
    }
    Window FindTopLevelWindow(const std::wstring& title) override {
        auto it = std::ranges::find(titles_, title, &decltype(titles_)::value_type::second);
        return it == titles_.end() ? 0 : it->first;
    }
    bool RestoreIfMinimised(Window) override { return false; }
    bool SetForeground(Window window) override {
        foreground = refuseForeground || !titles_.contains(window) ? foreground : window;
        return foreground == window;
    }
    bool WaitUntilFocused(Window window, int) override { return foreground == window; }
    std::vector<int> WaitForModifiersUp(int) override { return {}; }
    void TypeText(const std::wstring& text, bool) override { TypeCode(text, {}); }
    // A character is a packet with the character as scan code; a carriage return the Enter key.
    bool TypeCode(const std::wstring& text, const std::vector<int>&) override {
        std::vector<KeyEvent> keys;
        for (wchar_t c : text)
            for (std::uint32_t up : {0u, kKeyReleased})
                keys.push_back(
                    {c == L'\r' ? kVkEnter : kVkPacket, c == L'\r' ? 0x1Cu : c, up, 0, 0});
        if (!refuseKeys)
            GiveBack(keys);
        if (!refuseKeys && onType)
            onType(text);
        return !refuseKeys;
    }
    // What passes the hook reaches the window in front (no modifier is ever held).
    void GiveBack(const std::vector<KeyEvent>& keys) override {
        injected.push_back(keys);
        for (KeyEvent k : keys) {
            k.flags |= kKeyInjected, k.dwExtraInfo = kInjectedKeyTag;
            if (!(hook && hook(k)) && !(k.flags & kKeyReleased) &&
                (k.vkCode == kVkPacket || k.vkCode == kVkEnter))
                typed[foreground] += k.vkCode == kVkEnter ? L'\r' : wchar_t(k.scanCode);
        }
    }

    bool refuseForeground = false, refuseKeys = false;
    Window foreground = 0;
    std::function<bool(const KeyEvent&)> hook;       // the keyboard hook: true swallows the key
    std::vector<std::vector<KeyEvent>> injected;     // each input, as given
    std::map<Window, std::wstring> typed;            // per window in front (0: none)
    std::function<void(const std::wstring&)> onType; // after a text's keys have passed

  private:
    std::map<Window, std::wstring> titles_;
    Window last_ = 100;
};

// The keyboard reader wired as the program wires it: the desktop's hook decides each key, the
// actions wait until Run, and a code goes to `deliver` (typed into the desktop when not set).
struct FakeKeyboardReader : CodeDelivery {
    FakeKeyboardReader() {
        desktop.hook = [this](const KeyEvent& k) { return Key(0, k).Swallow; };
    }
    HookDecision Key(std::int32_t code, const KeyEvent& key) {
        HookDecision d = DecideKeyEvent(code, key, state, prefix, codePage);
        queue.Add(std::vector(d.After));
        return d;
    }
    void Run() { queue.RunPending(*this, desktop); }
    void DeliverCode(const std::wstring& code) override {
        deliver ? deliver(code) : desktop.TypeText(code, true);
    }
    FakeDesktop desktop;
    HookState state;
    HookActionQueue queue;
    Cp1251CodePage codePage;
    std::int16_t prefix = 1;
    std::function<void(const std::wstring&)> deliver;
};

} // namespace corv::fake
