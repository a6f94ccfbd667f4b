#include "core/modSysTry.h"

namespace corv {

modSysTry::modSysTry(NotifyIcon& shell, std::function<std::uintptr_t()> window,
                     std::uintptr_t connectedIcon, std::uintptr_t notConnectedIcon)
    : shell_(shell), window_(std::move(window)), icons_{connectedIcon, notConnectedIcon} {
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
    if (image == kConnectedImage || image == kNotConnectedImage)
        trayData_.icon = icons_[image];
    shell_.Notify(operation, trayData_);
    if (operation == kAdd)
        shown_ = true;
    else if (operation == kDelete)
        shown_ = false;
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
    if (shown_)
        shell_.Notify(kAdd, trayData_);
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
