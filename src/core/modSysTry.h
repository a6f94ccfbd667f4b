#pragma once
// The notification-area icon: the one icon record, its add, modify and delete operations, the
// tip, and the table that turns the icon's mouse messages into actions.
#include <cstdint>
#include <functional>
#include <string>

#include "core/TrayIcon.h"
#include "platform/NotifyIcon.h"

namespace corv {

// The message the icon sends to its window; the icon's mouse message travels in lParam.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x8001;
// The message with which the window hands an icon callback to TrayMouseMessage.
inline constexpr std::uint32_t kTrayMouseMessage = 0x401;
inline constexpr std::uint32_t kTipLength = 128;
// The record's flag that shows a balloon.
inline constexpr std::uint32_t kBalloonFlag = 0x10;
// How often an icon the shell refused is offered again.
inline constexpr int kTrayRetryMs = 2000;

// What the icon's mouse table acts on.
class TrayMenuHost {
  public:
    virtual ~TrayMenuHost() = default;
    virtual void OpenFromTray() = 0; // disable the "open" entry, show the Settings window
    virtual void ShowTrayMenu() = 0; // the popup menu at the mouse position
};

class modSysTry : public TrayIcon, public TrayBalloon {
  public:
    // window: the Settings window's handle, read again on every operation; the two icons;
    // retryTimer(true) starts a timer of kTrayRetryMs that calls RetryTrayIcon, (false) stops it.
    modSysTry(NotifyIcon& shell, std::function<std::uintptr_t()> window,
              std::uintptr_t connectedIcon, std::uintptr_t notConnectedIcon,
              std::function<void(bool)> retryTimer = {});

    void UpdateTrayIcon(int operation, std::int16_t image) override;
    void SetTrayTip(const std::wstring& tip) override;
    // A warning balloon from the icon, when it is up; the record keeps no trace of it.
    void ShowBalloon(const std::wstring& title, const std::wstring& text) override;
    // Adds the icon again (the notification area was recreated), when it is up.
    void RestoreTrayIcon();
    // The retry timer's tick: offers an icon the shell refused once more.
    void RetryTrayIcon();
    // The two images loaded anew (another DPI); the icon shows the new one of its image.
    void SetIcons(std::uintptr_t connectedIcon, std::uintptr_t notConnectedIcon);

    const NotifyIconRecord& TrayData() const { return trayData_; }
    // The shell has the icon.
    bool IconShown() const { return shown_; }

  private:
    // The operation, or the other one of add and modify when the shell has (or lacks) the icon
    // already; retries while neither works.
    void Put(int operation);

    NotifyIcon& shell_;
    std::function<std::uintptr_t()> window_;
    std::uintptr_t icons_[2];
    std::function<void(bool)> retryTimer_;
    NotifyIconRecord trayData_;
    std::int16_t image_ = -1;
    bool wanted_ = false; // added and not deleted since
    bool shown_ = false;
    bool retrying_ = false;
};

// Acts on one mouse message of the icon; every failure is ignored.
void TrayMouseMessage(TrayMenuHost& host, std::uintptr_t window, std::uint32_t message,
                      std::uint32_t wParam, std::uint32_t lParam) noexcept;

} // namespace corv
