#pragma once
// Parts the reader needs from the tray and the keyboard reader, in their smallest working form,
// until the Settings window, the tray module and the keyboard hook take their place in the
// application object.
#include <windows.h>

#include <shellapi.h>

#include <functional>

#include "core/AppState.h"

namespace corv::win32 {

// The notification icon on the given window: identifier 1, the mouse callbacks arriving as its
// mouse-move message, a system image for each state.
class InterimTray : public TrayIcon {
  public:
    // The window is asked for again on every operation.
    explicit InterimTray(std::function<HWND()> window) : window_(std::move(window)) {}
    void UpdateTrayIcon(int operation, std::int16_t image) override;
    void SetTrayTip(const std::wstring& tip) override;

  private:
    std::function<HWND()> window_;
    NOTIFYICONDATAW data_{};
};

// Only the serial reader is served until the keyboard hook arrives: installing records the
// choice, and nothing is watched.
class SerialOnlyKeyboardHook : public KeyboardHookControl {
  public:
    void InstallKeyboardHook() override { installed_ = true; }
    void RemoveKeyboardHook() override { installed_ = false; }
    bool Installed() const { return installed_; }

  private:
    bool installed_ = false;
};

} // namespace corv::win32
