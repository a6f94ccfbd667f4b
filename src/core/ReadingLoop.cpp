#include "core/ReadingLoop.h"

#include "core/Text.h"

namespace corv {

void ReadingLoop::Timer1Tick() {
    if (inTick_)
        return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(inTick_);

    std::wstring received;
    p_.serial.ReadComm(received);
    p_.pump.ProcessPendingMessages();
    if (received.empty()) {
        ++idleTicks_;
    } else {
        idleTicks_ = 0;
        readBuffer_ += received;
        p_.pump.ProcessPendingMessages();
    }
    if (idleTicks_ >= kTicksToComplete) {
        idleTicks_ = 0;
        CompleteCode();
    }
}

void ReadingLoop::CompleteCode() {
    // Taken out of the buffer first, so that a failure during delivery cannot deliver it twice.
    std::wstring code = std::move(readBuffer_);
    readBuffer_.clear();
    if (code.find(kCardMarker) != std::wstring::npos) {
        code = HexEncode(ReplaceAll(code, kCardMarker, L""), p_.codePage);
        // As the user's pick of "all characters" would.
        p_.settingsWindow[L"cSendTo"].SetSelectedIndex(0);
        p_.settings.SendTo = 0;
    }
    if (code.empty())
        return;
    if (code.starts_with(L"969") || code.starts_with(L"971")) {
        p_.delivery.DeliverCode(code);
        return;
    }
    if (const auto prefixed = ApplyPrefix(p_.settings.Prefix, code))
        p_.delivery.DeliverCode(*prefixed);
}

void ReadingLoop::bConnectionClick() {
    const std::wstring language = p_.settings.Language;
    if (p_.state.Connected)
        Disconnect(language);
    else
        Connect(language);
}

void ReadingLoop::Disconnect(const std::wstring& language) {
    p_.tray.UpdateTrayIcon(TrayIcon::kModify, TrayIcon::kNotConnectedImage);
    p_.settingsWindow[L"bConnection"].SetText(p_.strings.ResStringComm(L"strConnect", language));
    p_.enableFields(true);
    p_.state.Connected = false;
    p_.settingsWindow[L"Timer1"].SetEnabled(false);
    p_.serial.CloseComm();
    p_.hook.RemoveKeyboardHook();
}

void ReadingLoop::Connect(const std::wstring& language) {
    bool success = false;
    if (p_.settings.IsKeyBoard == 1) {
        success = p_.hook.InstallKeyboardHook();
    } else {
        p_.hook.RemoveKeyboardHook();
        const auto port = static_cast<std::int16_t>(p_.settings.ComPort + 1);
        success = p_.serial.OpenComm(port, p_.settingsWindow[L"cBitsPerSecond"].Text()) == 0;
    }
    std::int16_t image = TrayIcon::kNotConnectedImage;
    if (success) {
        p_.settingsWindow[L"bConnection"].SetText(
            p_.strings.ResStringComm(L"strDisconnect", language));
        image = TrayIcon::kConnectedImage;
    }
    if (p_.state.IsStarting) {
        p_.tray.SetTrayTip(kTrayTip);
        p_.tray.UpdateTrayIcon(TrayIcon::kAdd, image);
    } else {
        p_.tray.UpdateTrayIcon(TrayIcon::kModify, image);
    }
    p_.enableFields(!success);
    p_.settingsWindow[L"Timer1"].SetEnabled(success);
    p_.state.Connected = success;
}

} // namespace corv
