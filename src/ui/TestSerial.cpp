#include "ui/TestSerial.h"

#include "common/ScopeGuard.h"
#include "core/ModMainReader.h"
#include "ui/Settings.h"

namespace corv {

const std::vector<std::wstring>& TestSerialFocusOrder() {
    static const std::vector<std::wstring> order = {L"tNormal", L"bNewCode", L"bKeyCode",
                                                    L"bAscii",  L"bSerial",  L"tRealCode"};
    return order;
}

TestSerial::TestSerial(Form& form, FormHost& window, Parts parts)
    : form_(form), window_(window), p_(std::move(parts)) {
    C(L"Timer1").OnTimer = [this] { Timer1Tick(); };
    C(L"bNewCode").OnClick = [this] {
        C(L"tRealCode").SetText(L"");
        C(L"tNormal").SetText(L"");
        lastKeyCodeLog_.clear();
        C(L"tNormal").Focus();
        C(L"Timer1").SetEnabled(true);
    };
    C(L"bKeyCode").OnClick = [this] {
        C(L"Timer1").SetEnabled(false);
        C(L"tRealCode").SetText(lastKeyCodeLog_);
    };
    C(L"bAscii").OnClick = [this] {
        C(L"Timer1").SetEnabled(false);
        C(L"tRealCode").SetText(lastAsciiLog_);
    };
    C(L"bSerial").OnClick = [this] {
        C(L"Timer1").SetEnabled(false);
        try {
            C(L"tRealCode").SetText(L"");
        } catch (...) {
        }
        try {
            C(L"tRealCode").SetText(lastSerialLog_);
        } catch (...) {
        }
    };
    Control& box = C(L"tNormal");
    box.OnFocus = [&box] { SelectAllText(box); };
    box.OnKeyDown = [this](int keyCode, int) {
        ++keyDowns_;
        if (keyCode == 13)
            window_.ShowMessage(keyCodeLog_, kProgramTitle);
        // The key code, a space, and the character code of the first digit of the key code.
        const std::wstring digits = std::to_wstring(keyCode);
        keyCodeLog_ += digits + L" " + std::to_wstring(static_cast<int>(digits.front()));
    };
    box.OnKeyPress = [](int& code) { code = 0; };
}

void TestSerial::Load() {
    C(L"Timer1").SetEnabled(true);
    p_.res.SetLanguage(form_, L"");
}

void TestSerial::Unload() {
    p_.settingsWindow.RunReading(true);
}

void TestSerial::ShowLastKeyCodes() {
    if (lastKeyCodeLog_.empty())
        return;
    C(L"tRealCode").SetText(lastKeyCodeLog_);
    readBuffer_.clear();
    keyCodeLog_.clear();
    asciiLog_.clear();
    serialLog_.clear();
}

void TestSerial::Timer1Tick() {
    // Message processing inside the tick may bring the next tick; it waits its turn.
    if (inTick_)
        return;
    inTick_ = true;
    const ScopeGuard leave([this] { inTick_ = false; });

    if (p_.settings.IsKeyBoard != 0) {
        p_.hook.InstallKeyboardHook();
        readBuffer_.clear();
        ShowLastKeyCodes();
        return;
    }
    std::wstring received = p_.readComm ? p_.readComm() : std::wstring();
    std::wstring suffix;
    code_.Add(received);
    p_.pump.ProcessPendingMessages();
    if (!received.empty()) {
        C(L"tNormal").SetText(L"");
        p_.pump.ProcessPendingMessages();
    }
    if (p_.settings.Filter == 1)
        suffix = L"\r";
    const auto done = code_.TakeComplete();
    if (!done)
        return;
    // A code too long to be a reader's is not typed.
    readBuffer_ += done->code;
    serialLog_ += readBuffer_;
    // A card code is typed as it is; the filter of real deliveries stays as the user chose it.
    if (readBuffer_.find(L"CARD") != std::wstring::npos) {
        for (std::size_t at; (at = readBuffer_.find(L"CARD:")) != std::wstring::npos;)
            readBuffer_.erase(at, 5);
        readBuffer_ = HexEncode(readBuffer_, p_.codePage);
    }
    const std::wstring head = readBuffer_.substr(0, 3);
    if (!readBuffer_.empty() && head != L"969" && head != L"971") {
        if (const auto prefixed = ApplyPrefix(p_.settings.Prefix, readBuffer_))
            readBuffer_ = *prefixed + suffix;
    }
    if (!readBuffer_.empty()) {
        // Typed only into this window's box: while another window is in front the code is
        // only logged.
        if (!p_.inFront || p_.inFront()) {
            C(L"tNormal").Focus();
            const std::size_t expected = keyDowns_ + readBuffer_.size();
            p_.desktop.TypeText(readBuffer_, true);
            if (p_.letKeysArrive)
                p_.letKeysArrive([this, expected] { return keyDowns_ >= expected; });
        }
        lastKeyCodeLog_ = keyCodeLog_;
        lastSerialLog_ = serialLog_;
        lastAsciiLog_ = asciiLog_;
    }
    ShowLastKeyCodes();
    // Typed or not, a code is done with: it is never typed again with the next one.
    readBuffer_.clear();
    keyCodeLog_.clear();
    asciiLog_.clear();
    serialLog_.clear();
}

} // namespace corv
