#include "core/ReadingLoop.h"

#include "common/ScopeGuard.h"
#include "common/Text.h"

namespace corv {
namespace {

// A text of the language files with its %1 and %2 filled in.
std::wstring Fill(const std::wstring& text, const std::wstring& first,
                  const std::wstring& second = {}) {
    return ReplaceAll(ReplaceAll(text, L"%1", first), L"%2", second);
}

// The system's message of a failure, on one line, without the port's error flags.
std::wstring Reason(std::wstring message) {
    if (const auto at = message.find(comm::kFlagsSeparator); at != std::wstring::npos)
        message.erase(at);
    for (auto& c : message)
        if (c == L'\r' || c == L'\n' || c == L'\t')
            c = L' ';
    return TrimSpaces(message);
}

} // namespace

void ReadingLoop::Timer1Tick() {
    if (inTick_ || held_)
        return;
    inTick_ = true;
    const ScopeGuard leave([this] { inTick_ = false; });

    const unsigned connection = connection_;
    const std::optional<std::wstring> read = ReadWaiting();
    if (connection != connection_)
        return; // disconnected or lost meanwhile: what was read belongs to no code
    // A failed read tells nothing of the line: it neither ends the code nor adds to it, so that
    // a code cut off by a lost port is not typed.
    if (!read)
        return;
    const std::wstring& received = *read;
    code_.Add(received);
    p_.pump.ProcessPendingMessages();
    if (!received.empty())
        p_.pump.ProcessPendingMessages();
    if (auto done = code_.TakeComplete()) {
        if (done->dropped) {
            ++dropped_;
            RefreshTrayTip();
        } else {
            CompleteCode(std::move(done->code));
        }
    }
}

std::wstring ReadingLoop::ReadPort() {
    return ReadWaiting().value_or(std::wstring());
}

std::optional<std::wstring> ReadingLoop::ReadWaiting() {
    std::wstring received;
    const unsigned connection = connection_;
    while (p_.serial.IsOpen() && connection == connection_) {
        std::wstring part;
        const std::int32_t read = p_.serial.ReadComm(part);
        if (read < 0) {
            if (p_.state.Connected && ++failedReads_ >= kFailedReadsToLose)
                Disconnect(p_.settings.Language, Link::Waiting);
            if (received.empty())
                return std::nullopt;
            break;
        }
        failedReads_ = 0;
        received += part;
        // A full receive buffer means that more may wait; a stream without a pause stops at the
        // bound, and the rest comes with the next tick.
        if (read < static_cast<std::int32_t>(comm::kReceiveBufferSize) ||
            received.size() > kMaxCodeLength)
            break;
    }
    return received;
}

void ReadingLoop::CompleteCode(std::wstring code) {
    if (code.find(kCardMarker) != std::wstring::npos) {
        code = HexEncode(ReplaceAll(code, kCardMarker, L""), p_.codePage);
        p_.window.PickAllCharacters();
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

void ReadingLoop::RetryConnect() {
    if (retrying_ && !p_.state.Connected)
        Connect(p_.settings.Language);
}

void ReadingLoop::Disconnect(const std::wstring& language, Link after) {
    ShowTray(after, TrayIcon::kNotConnectedImage);
    p_.window.ShowConnectionCaption(p_.strings.ResStringComm(L"strConnect", language));
    p_.window.ShowConnected(false);
    p_.state.Connected = false;
    p_.window.RunReading(false);
    p_.serial.CloseComm();
    p_.hook.RemoveKeyboardHook();
    // A disconnect stops the retries; a lost port is tried again.
    KeepTrying(after == Link::Waiting);
}

void ReadingLoop::Connect(const std::wstring& language) {
    bool success = false;
    if (p_.settings.IsKeyBoard == 1) {
        success = p_.hook.InstallKeyboardHook();
    } else {
        p_.hook.RemoveKeyboardHook();
        const auto port = static_cast<std::int16_t>(p_.settings.ComPort + 1);
        success = p_.serial.OpenComm(port, p_.window.ShownSpeed()) == 0;
    }
    port_ = L"COM" + DecimalText(p_.settings.ComPort + 1);
    speed_ = p_.window.ShownSpeed();
    std::int16_t image = TrayIcon::kNotConnectedImage;
    if (success) {
        p_.window.ShowConnectionCaption(p_.strings.ResStringComm(L"strDisconnect", language));
        image = TrayIcon::kConnectedImage;
    }
    const Link reader = p_.settings.IsKeyBoard == 1 ? Link::Keyboard : Link::Port;
    ShowTray(success ? reader : Link::Waiting, image);
    p_.window.ShowConnected(success);
    p_.window.RunReading(success);
    p_.state.Connected = success;
    // The user wants this connection: until it opens, it is tried again.
    KeepTrying(!success);
}

void ReadingLoop::KeepTrying(bool on) {
    ++connection_;
    code_.Clear();
    failedReads_ = 0;
    if (on == retrying_)
        return;
    retrying_ = on;
    if (RetryTimer)
        RetryTimer(on);
}

void ReadingLoop::ShowTray(Link link, std::int16_t image) {
    link_ = link;
    const std::wstring tip = TrayTipText();
    // The first connect at start-up adds the icon; every later change modifies it, and a retry
    // that fails for the same reason leaves it alone.
    const bool add = p_.state.IsStarting && shownImage_ < 0;
    if (!add && image == shownImage_ && tip == shownTip_)
        return;
    p_.tray.SetTrayTip(tip);
    p_.tray.UpdateTrayIcon(add ? TrayIcon::kAdd : TrayIcon::kModify, image);
    shownImage_ = image;
    shownTip_ = tip;
}

void ReadingLoop::RefreshTrayTip() {
    if (shownImage_ >= 0)
        ShowTray(link_, shownImage_);
}

std::wstring ReadingLoop::TrayTipText() const {
    const std::wstring& language = p_.settings.Language;
    auto text = [&](const wchar_t* key) { return p_.strings.ResStringComm(key, language); };
    std::wstring tip = kTrayTip;
    auto line = [&tip](const std::wstring& s) {
        if (!s.empty())
            tip += L"\n" + s;
    };
    switch (link_) {
    case Link::Port:
        line(Fill(text(L"strTipPort"), port_, speed_));
        break;
    case Link::Keyboard:
        line(text(L"strTipKeyboard"));
        break;
    case Link::Off:
        line(text(L"strTipNotConnected"));
        break;
    case Link::Waiting:
        if (p_.settings.IsKeyBoard == 1) {
            line(Fill(text(L"strTipRetrying"), text(L"strTipKeyboard")));
        } else {
            line(Fill(text(L"strTipRetrying"), port_));
            line(Reason(p_.serial.Error().Message));
        }
        break;
    }
    if (dropped_ > 0)
        line(Fill(text(L"strTipDropped"), DecimalText(dropped_)));
    return tip;
}

} // namespace corv
