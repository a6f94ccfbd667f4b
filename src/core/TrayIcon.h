#pragma once
#include <cstdint>
#include <string>

namespace corv {

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

} // namespace corv
