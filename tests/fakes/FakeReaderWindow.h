#pragma once
// The Settings window as the reading loop sees it, and the loop over it and the in-memory port.
// What the user sees goes into `seen`: "~12" a code typed (~ the prefix mark), "[on]"/"[off]" the
// tray image ("[+on]" added), "(retry)"/"(stop)" the retry timer, "(threw)" typing failed.
#include <stdexcept>
#include <utility>

#include "FakeComm.h"
#include "common/Text.h"
#include "core/ReadingLoop.h"

namespace corv::fake {

struct FakeReaderWindow : ReaderWindow {
    std::wstring caption = L"strConnect/BG", speed = L"9600";
    bool connected = false, reading = false;
    int allCharacterPicks = 0;
    void ShowConnectionCaption(const std::wstring& text) override { caption = text; }
    void ShowConnected(bool now) override { connected = now; }
    std::wstring ShownSpeed() override { return speed; }
    void PickAllCharacters() override { ++allCharacterPicks; }
    void RunReading(bool run) override { reading = run; }
};

struct LoopWorld : FakePort, CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    AppSettings settings;
    AppState state;
    FakeReaderWindow window;
    ReadingLoop loop{{settings, state, serial, *this, cp, *this, *this, *this, *this, window}};
    std::vector<std::wstring> delivered;
    std::string seen;
    std::wstring tip;
    bool hooked = false, refuseHook = false, failTyping = false, tickInside = false;

    LoopWorld() {
        settings.SendTo = 1;
        loop.RetryTimer = [this](bool run) { See(run ? "(retry)" : "(stop)"); };
    }
    void See(const std::string& what) { seen += (seen.empty() ? "" : " ") + what; }
    void Tick() try {
        loop.Timer1Tick();
    } catch (const std::runtime_error&) { // as the timer's edge
    }
    void ProcessPendingMessages() override {
        FakePort::ProcessPendingMessages();
        if (std::exchange(tickInside, false)) // a tick comes meanwhile
            Tick(), tickInside = true;
    }
    void DeliverCode(const std::wstring& code) override {
        if (std::exchange(failTyping, false))
            See("(threw)"), throw std::runtime_error("typing failed");
        delivered.push_back(code);
        See(cp.ToAnsi(ReplaceAll(code, std::wstring(1, kPrefixMark), L"~")));
    }
    void UpdateTrayIcon(int op, std::int16_t image) override {
        See((op == kAdd ? "[+" : "[") + std::string(image == kConnectedImage ? "on]" : "off]"));
    }
    void SetTrayTip(const std::wstring& text) override { tip = text; }
    bool InstallKeyboardHook() override { return hooked = !refuseHook; }
    void RemoveKeyboardHook() override { hooked = false; }
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        return key == L"strTipPort"           ? L"on %1 at %2"
               : key == L"strTipRetrying"     ? L"%1 retrying"
               : key == L"strTipNotConnected" ? L"off"
               : key == L"strTipKeyboard"     ? L"keyboard"
                                              : key + L"/" + language;
    }
};

// "Prefix=3" sets that setting, named by its section; false for any other word.
inline bool SetSetting(AppSettings& settings, const std::string& word) {
    const std::wstring w(word.begin(), word.end());
    for (const SettingRow& row : kSettingRows)
        if (w.starts_with(row.section + std::wstring(L"=")))
            return settings.*row.field =
                       static_cast<std::int16_t>(std::stoi(w.substr(w.find('=') + 1))),
                   true;
    return false;
}

} // namespace corv::fake
