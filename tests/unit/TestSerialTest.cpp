// The Test window's behaviour over the in-memory window: both ticks, the key-down log, the
// message box on Enter, the view buttons and closing.
#include <gtest/gtest.h>

#include <deque>

#include "FakeCodePage.h"
#include "FakeDesktop.h"
#include "FakeReaderWindow.h"
#include "FakeWindowing.h"
#include "InMemoryForm.h"
#include "LanguageFixture.h"
#include "core/ModMainReader.h"
#include "ui/TestSerial.h"

using namespace corv;

namespace {

struct CountingPump : MessagePump {
    void ProcessPendingMessages() override { ++passes; }
    int passes = 0;
};

struct CountingHook : KeyboardHookControl {
    bool InstallKeyboardHook() override { return ++installs > 0; }
    void RemoveKeyboardHook() override {}
    int installs = 0;
};

} // namespace

class TestSerialTest : public test::LanguageTest {
  protected:
    void SetUp() override {
        // Typed text reaches the focused input box as keys: the key code, then the character.
        desktop.onType = [this](const std::wstring& text) {
            for (wchar_t c : text)
                form->Get(L"tNormal").Type(c == L'\r' ? 13 : std::towupper(c), c);
        };
        window.Load();
    }
    // Sends a code through the port, read whole by one tick, then ticks until it completes.
    void Arrive(const std::wstring& code) {
        port.push_back(code);
        for (int i = 0; i < 1 + 3; ++i)
            window.Timer1Tick();
    }
    std::wstring Typed() { return desktop.typed[0]; }
    fake::InMemoryControl& Get(const wchar_t* name) { return form->Get(name); }

    std::unique_ptr<fake::InMemoryForm> form = fake::BuildInMemoryForm(TestSerialLayout());
    fake::FakeReaderWindow settingsWindow;
    fake::FakeFormHost host;
    fake::FakeDesktop desktop;
    fake::Cp1251CodePage codePage;
    CountingPump pump;
    CountingHook hook;
    std::deque<std::wstring> port;
    TestSerial window{*form, host,
                      TestSerial::Parts{settings,
                                        res,
                                        hook,
                                        pump,
                                        desktop,
                                        codePage,
                                        [this] {
                                            if (port.empty())
                                                return std::wstring();
                                            auto c = port.front();
                                            port.pop_front();
                                            return c;
                                        },
                                        settingsWindow,
                                        {},
                                        [this] { return inFront; }}};
    bool inFront = true;
};

TEST_F(TestSerialTest, CodeIsTypedIntoTheBoxAndItsKeysLogged) {
    settings.Prefix = 0;
    settings.Filter = 1;
    EXPECT_TRUE(Get(L"Timer1").Enabled());
    std::wstring logAtEnter;
    host.onMessage = [&] { logAtEnter = host.messages.back(); };
    port.assign({L"1", L"2"});
    window.Timer1Tick();
    window.Timer1Tick();
    EXPECT_EQ(window.ReadBuffer(), L"12");
    EXPECT_TRUE(desktop.typed.empty());
    port.assign({L"3", L"4"});
    for (int i = 0; i < 4; ++i)
        window.Timer1Tick();
    EXPECT_TRUE(desktop.typed.empty()); // two empty ticks: not yet complete
    window.Timer1Tick();
    EXPECT_EQ(Typed(), L"1234\r");
    EXPECT_EQ(Get(L"tNormal").Text(), L""); // every character was discarded
    EXPECT_EQ(logAtEnter, L"49 5250 5351 5352 53");
    EXPECT_EQ(Get(L"tRealCode").Text(), L"49 5250 5351 5352 5313 49");
    EXPECT_EQ(window.LastSerialLog(), L"1234");
    EXPECT_EQ(window.SerialLog(), L"");
    EXPECT_EQ(window.KeyCodeLog(), L"");
    EXPECT_EQ(window.ReadBuffer(), L"");
    EXPECT_GE(pump.passes, 7);
}

TEST_F(TestSerialTest, ExemptCardAndUnknownPrefixCodes) {
    settings.Filter = 1;
    settings.Prefix = 1;
    Arrive(L"9691234");
    EXPECT_EQ(Typed(), L"9691234");
    settings.Prefix = 0;
    settings.SendTo = 1;
    Arrive(L"CARD:1A");
    EXPECT_EQ(Typed(), L"96912343141\r");
    EXPECT_EQ(settings.SendTo, 1); // the filter of real deliveries stays as chosen
    EXPECT_EQ(window.LastSerialLog(), L"CARD:1A");
    settings.Prefix = 2;
    Arrive(L"CARD1");
    EXPECT_EQ(Typed(), L"96912343141\r" + std::wstring(1, kPrefixMark) + L"9694341524431\r");
    settings.Prefix = 7;
    Arrive(L"55");
    EXPECT_TRUE(Typed().ends_with(L"\r55"));
    Arrive(std::wstring(1025, L'7')); // too long to be a reader's code
    EXPECT_TRUE(Typed().ends_with(L"\r55"));
    EXPECT_EQ(window.ReadBuffer(), L"");
}

// Only the window in front gets the code; one that was not typed is logged, never typed later.
TEST_F(TestSerialTest, TypesOnlyWhileInFrontAndEachCodeOnce) {
    settings.Prefix = 0;
    settings.Filter = 0;
    inFront = false;
    Arrive(L"12");
    EXPECT_TRUE(desktop.typed.empty());
    EXPECT_EQ(window.LastSerialLog(), L"12");
    inFront = true;
    Arrive(L"3");
    EXPECT_EQ(Typed(), L"3");
    EXPECT_EQ(window.LastSerialLog(), L"3");
    // Keys that went elsewhere (the box lost the focus) do not bring the code back either.
    desktop.onType = {};
    Arrive(L"4");
    Arrive(L"5");
    EXPECT_EQ(Typed(), L"345");
}

TEST_F(TestSerialTest, ViewButtonsStopReadingUntilNewCode) {
    settings.Prefix = 0;
    settings.Filter = 0;
    Arrive(L"7");
    Get(L"bKeyCode").Press();
    EXPECT_FALSE(Get(L"Timer1").Enabled());
    EXPECT_EQ(Get(L"tRealCode").Text(), L"55 53");
    Get(L"bSerial").Press();
    EXPECT_EQ(Get(L"tRealCode").Text(), L"7");
    Get(L"bAscii").Press();
    EXPECT_EQ(Get(L"tRealCode").Text(), L"");
    Get(L"tNormal").SetText(L"abc");
    Get(L"bNewCode").Press();
    EXPECT_TRUE(Get(L"Timer1").Enabled());
    EXPECT_EQ(Get(L"tNormal").Text(), L"");
    EXPECT_TRUE(Get(L"tNormal").focused);
    EXPECT_EQ(window.LastKeyCodeLog(), L"");
}

TEST_F(TestSerialTest, KeyboardTickInstallsHookAndClosingRestartsSettingsTimer) {
    settings.IsKeyBoard = 1;
    port.assign({L"1"});
    window.Timer1Tick();
    window.Timer1Tick();
    EXPECT_EQ(hook.installs, 2);
    EXPECT_EQ(port.size(), 1u); // the port is not read
    window.Unload();
    EXPECT_TRUE(settingsWindow.reading);
}
