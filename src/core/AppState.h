#pragma once
// Process-wide state of the reader core and the small interfaces through which its parts reach
// each other (so that each can be tested alone).
#include <cstdint>
#include <string>

namespace corv {

struct AppState {
    bool IsStarting = false; // from start-up until the Settings window is first activated
    bool Connected = false;  // the reader is connected
};

// The notification-area icon (operations and images as Shell_NotifyIcon and the two pictures).
class TrayIcon {
  public:
    static constexpr int kAdd = 0;
    static constexpr int kModify = 1;
    static constexpr int kDelete = 2;
    static constexpr std::int16_t kConnectedImage = 0;
    static constexpr std::int16_t kNotConnectedImage = 1;

    virtual ~TrayIcon() = default;
    virtual void UpdateTrayIcon(int operation, std::int16_t image) = 0;
    virtual void SetTrayTip(const std::wstring& tip) = 0;
};

// A short message from the notification icon (a balloon).
class TrayBalloon {
  public:
    virtual ~TrayBalloon() = default;
    virtual void ShowBalloon(const std::wstring& title, const std::wstring& text) = 0;
};

// Installing and removing the keyboard reader's low-level hook.
class KeyboardHookControl {
  public:
    virtual ~KeyboardHookControl() = default;
    // True when the hook is in place (an installed one counts); false when the system refused.
    virtual bool InstallKeyboardHook() = 0;
    virtual void RemoveKeyboardHook() = 0;
};

// A text of "Common.lng" by key, in the given language, with the built-in fall-back.
class ResStrings {
  public:
    virtual ~ResStrings() = default;
    virtual std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) = 0;
};

} // namespace corv
