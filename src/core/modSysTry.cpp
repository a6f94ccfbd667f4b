#include "core/modSysTry.h"

namespace corv {

modSysTry::modSysTry(NotifyIcon& shell, std::function<std::uintptr_t()> window,
                     std::uintptr_t connectedIcon, std::uintptr_t notConnectedIcon,
                     std::function<void(bool)> retryTimer)
    : shell_(shell), window_(std::move(window)), icons_{connectedIcon, notConnectedIcon},
      retryTimer_(std::move(retryTimer)) {
    trayData_.tip.assign(kTipLength, L'\0');
}

void modSysTry::SetTrayTip(const std::wstring& tip) {
    // The field holds the text and a NUL, padded with spaces; what is longer is cut.
    std::wstring field = tip;
    field.push_back(L'\0');
    field.resize(kTipLength, L' ');
    trayData_.tip = field;
}

void modSysTry::UpdateTrayIcon(int operation, std::int16_t image) {
    trayData_.size = 504;
    trayData_.window = window_ ? window_() : 0;
    trayData_.id = 1;
    trayData_.flags = 7;
    trayData_.callbackMessage = kTrayCallbackMessage;
    if (image == kConnectedImage || image == kNotConnectedImage) {
        trayData_.icon = icons_[image];
        image_ = image;
    }
    if (operation == kAdd || operation == kDelete)
        wanted_ = operation == kAdd;
    if (wanted_ || operation == kDelete)
        Put(operation);
    else
        shell_.Notify(operation, trayData_); // a modify before any add
}

void modSysTry::Put(int operation) {
    if (operation == kDelete) {
        shell_.Notify(kDelete, trayData_);
        shown_ = false;
    } else {
        // An add the shell timed out on may have happened; a modify fails when the icon is gone.
        shown_ = shell_.Notify(operation, trayData_) ||
                 shell_.Notify(operation == kAdd ? kModify : kAdd, trayData_);
    }
    const bool retry = wanted_ && !shown_;
    if (retry != retrying_ && retryTimer_) {
        retrying_ = retry;
        retryTimer_(retry);
    }
}

void modSysTry::RetryTrayIcon() {
    if (wanted_ && !shown_)
        Put(kAdd);
}

void modSysTry::SetIcons(std::uintptr_t connectedIcon, std::uintptr_t notConnectedIcon) {
    icons_[kConnectedImage] = connectedIcon;
    icons_[kNotConnectedImage] = notConnectedIcon;
    if (image_ == kConnectedImage || image_ == kNotConnectedImage)
        trayData_.icon = icons_[image_];
    if (wanted_)
        Put(kModify);
}

void modSysTry::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    if (!shown_)
        return;
    NotifyIconRecord balloon = trayData_;
    balloon.flags = kBalloonFlag;
    balloon.balloonTitle = title;
    balloon.balloonText = text;
    shell_.Notify(kModify, balloon);
}

void modSysTry::RestoreTrayIcon() {
    if (wanted_)
        Put(kAdd);
}

void TrayMouseMessage(TrayMenuHost& host, std::uintptr_t, std::uint32_t message, std::uint32_t,
                      std::uint32_t lParam) noexcept {
    if (message != kTrayMouseMessage)
        return;
    try {
        if (lParam == 0x203)
            host.OpenFromTray();
        else if (lParam == 0x205)
            host.ShowTrayMenu();
    } catch (...) {
        // A window or menu that cannot be shown leaves things as they are.
    }
}

} // namespace corv
