// The Test window, driven by scripts: "Prefix=0" and the like picked;  "away"/"lost"  another
// window in front / keys go elsewhere;  "KeyCode" and the other buttons;  "close";  "."  a tick
// while its timer runs;  any other word  a code arriving, then four ticks. Seen: each text typed
// (~ the prefix mark, ^ Enter), "[tRealCode]" after a button, the hook installs, a code left
// "waiting", "stopped" its timer off, "reading" the Settings window's on.
#include <gtest/gtest.h>

#include "FakeComm.h"
#include "FakeDesktop.h"
#include "FakeWindowing.h"
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "core/ModMainReader.h"
#include "ui/TestSerial.h"

using namespace corv;

struct TestWindow : test::LanguageTest, fake::FakePort, KeyboardHookControl {
    int hooks = 0;
    bool InstallKeyboardHook() override { return ++hooks; }
    void RemoveKeyboardHook() override {}
};

TEST_F(TestWindow, Scripts) {
    for (const auto& [script, want] : std::initializer_list<std::array<const char*, 2>>{
             {"Prefix=0 1234 Prefix=1 9691234 Prefix=3 9715", "1234^ 9691234 9715"},
             {"cFilter=0 CARD:1A Prefix=2 CARD1 Prefix=7 55", "~3141 ~9694341524431 55"},
             {"away 12 Serial", "[12] stopped"}, // typed only while in front, each code once
             {"lost 3 4 KeyCode", "~3^ ~4^ [] stopped"},
             {"cFilter=0 7 KeyCode Ascii 8 . NewCode . . . .", "~7 [160 4955 53] [] [] ~8"},
             {"IsKeyBoard=1 1 . close", "hooks=5 waiting reading"},
         }) {
        settings = AppSettings{}, settings.SendTo = 1, hooks = 0;
        auto form = fake::BuildInMemoryForm(TestSerialLayout());
        auto [box, timer] = std::tie(form->Get(L"tNormal"), form->Get(L"Timer1"));
        fake::FakeReaderWindow settingsWindow;
        fake::FakeFormHost host;
        fake::FakeDesktop desktop;
        bool inFront = true, lost = false;
        std::string seen, waiting;
        auto see = [&](const std::wstring& s) { seen += (seen.empty() ? "" : " ") + cp.ToAnsi(s); };
        auto read = [&] { return cp.FromAnsi(std::exchange(waiting, "")); };
        auto front = [&] { return inFront; };
        TestSerial window{
            *form,
            host,
            {settings, res, *this, *this, desktop, cp, read, settingsWindow, {}, front}};
        desktop.onType = [&](const std::wstring& text) {
            see(ReplaceAll(ReplaceAll(text, std::wstring(1, kPrefixMark), L"~"), L"\r", L"^"));
            for (wchar_t c : text)
                if (!lost)
                    box.Type(c == L'\r' ? 13 : c, c);
        };
        window.Load();
        std::istringstream words(script);
        for (std::string t; std::getline(words, t, ' ');) {
            if (t == "away" || t == "lost")
                (t == "away" ? inFront : lost) = t == "lost";
            else if (t == "KeyCode" || t == "Serial" || t == "Ascii" || t == "NewCode")
                form->Get(L"b" + cp.FromAnsi(t)).Press(),
                    see(L"[" + form->Get(L"tRealCode").Text() + L"]");
            else if (t == "close")
                window.Unload();
            else if (t != "." && !fake::SetSetting(settings, t))
                waiting = t, t = "....";
            for (char c : t)
                c == '.' && timer.Enabled() ? window.Timer1Tick() : void();
        }
        seen += (hooks ? " hooks=" + std::to_string(hooks) : "") +
                (waiting.empty() ? "" : " waiting") + (timer.Enabled() ? "" : " stopped") +
                (settingsWindow.reading ? " reading" : "");
        EXPECT_EQ(seen.substr(seen[0] == ' '), want) << script;
        EXPECT_EQ(box.Text(), L"") << script;    // no typed character stays
        EXPECT_EQ(settings.SendTo, 1) << script; // the filter of real deliveries stays as chosen
    }
}
