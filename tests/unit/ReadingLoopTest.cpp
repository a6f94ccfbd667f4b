#include <gtest/gtest.h>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "InMemoryForm.h"
#include "core/ReadingLoop.h"

using namespace corv;
using fake::CommCall;

namespace {

const std::wstring kMark(1, L'\u00A0');

struct Recorder : CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    std::vector<std::wstring> delivered;
    std::vector<std::wstring> log;
    void DeliverCode(const std::wstring& code) override { delivered.push_back(code); }
    void UpdateTrayIcon(int operation, std::int16_t image) override {
        log.push_back(L"tray " + std::to_wstring(operation) + L" " + std::to_wstring(image));
    }
    void SetTrayTip(const std::wstring& tip) override { log.push_back(L"tip " + tip); }
    bool InstallKeyboardHook() override {
        log.push_back(L"install hook");
        return hookInstalls;
    }
    bool hookInstalls = true;
    void RemoveKeyboardHook() override { log.push_back(L"remove hook"); }
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        return key + L"/" + language;
    }
};

struct Loop : ::testing::Test {
    AppSettings settings;
    AppState state;
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};
    Serial serial{driver};
    Recorder rec;
    fake::InMemoryForm form{L"Settings"};
    int sendToClicks = 0;
    std::unique_ptr<ReadingLoop> loop;

    Loop() {
        form.Add(L"Timer1", ControlKind::Timer).SetEnabled(false);
        form.Add(L"bConnection", ControlKind::MyButton, L"strConnect/BG");
        auto& speeds = form.Add(L"cBitsPerSecond", ControlKind::List);
        for (const wchar_t* s : {L"4800", L"7200", L"9600", L"14400"})
            speeds.AddItem(s);
        speeds.SetSelectedIndex(2);
        auto& sendTo = form.Add(L"cSendTo", ControlKind::List);
        sendTo.AddItem(L"all");
        sendTo.AddItem(L"digits");
        sendTo.SetSelectedIndex(1);
        sendTo.OnClick = [this] { ++sendToClicks; };
        settings.SendTo = 1;
        loop = std::make_unique<ReadingLoop>(ReadingLoop::Parts{
            settings, state, serial, pump, cp, rec, rec, rec, rec, form, [this](bool enabled) {
                rec.log.push_back(std::wstring(L"fields ") + (enabled ? L"on" : L"off") +
                                  L" timer=" + (form.Get(L"Timer1").Enabled() ? L"on" : L"off") +
                                  L" connected=" + (state.Connected ? L"yes" : L"no"));
            }});
    }

    void Connect() {
        loop->bConnectionClick();
        ASSERT_TRUE(state.Connected);
        rec.log.clear();
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            loop->Timer1Tick();
    }
};

} // namespace

TEST_F(Loop, BurstIsDeliveredOnceOnTheThirdEmptyTick) {
    Connect();
    comm.input = "12345";
    Ticks(5); // one character per tick
    EXPECT_EQ(loop->ReadBuffer(), L"12345");
    Ticks(2);
    EXPECT_TRUE(rec.delivered.empty());
    EXPECT_EQ(loop->IdleTicks(), 2);
    Ticks(1);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{kMark + L"12345"});
    EXPECT_EQ(loop->ReadBuffer(), L"");
    EXPECT_EQ(loop->IdleTicks(), 0);
    Ticks(10);
    EXPECT_EQ(rec.delivered.size(), 1u);
    EXPECT_LE(loop->IdleTicks(), 2);
}

TEST_F(Loop, CodesWithFewerThanThreeEmptyTicksBetweenAreJoined) {
    Connect();
    comm.input = "12";
    Ticks(2 + 2);
    comm.input = "34";
    Ticks(2 + 1);
    comm.input = "5";
    Ticks(1 + 3);
    comm.input = "6";
    Ticks(1 + 3);
    EXPECT_EQ(rec.delivered, (std::vector<std::wstring>{kMark + L"12345", kMark + L"6"}));
}

TEST_F(Loop, CardCodeIsHexEncodedAndSelectsAllCharacters) {
    settings.Prefix = 0;
    Connect();
    comm.input = "CARD:1A\r\n";
    Ticks(9 + 3);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{L"31410D0A"});
    EXPECT_EQ(settings.SendTo, 0);
    EXPECT_EQ(form.Get(L"cSendTo").SelectedIndex(), 0);
    EXPECT_EQ(sendToClicks, 1);

    settings.Prefix = 1;
    comm.input = "xCARD:\xC0";
    Ticks(7 + 3);
    EXPECT_EQ(rec.delivered.back(), kMark + L"78C0");
    comm.input = "card:1";
    Ticks(6 + 3);
    EXPECT_EQ(rec.delivered.back(), kMark + L"card:1"); // the marker is case-sensitive
    EXPECT_EQ(sendToClicks, 2);
}

TEST_F(Loop, PrefixRuleExceptForClientAndOperatorCodes) {
    Connect();
    struct Case {
        std::int16_t prefix;
        std::string code;
        std::vector<std::wstring> delivered;
    };
    const Case cases[] = {{1, "969123", {L"969123"}},
                          {3, "971555", {L"971555"}},
                          {7, "969001", {L"969001"}},
                          {3, "1234", {kMark + L"9711234"}},
                          {2, "96123", {kMark + L"96996123"}},
                          {0, "1234", {L"1234"}},
                          {7, "1234", {}}}; // an unknown rule drops the code
    for (const auto& c : cases) {
        settings.Prefix = c.prefix;
        rec.delivered.clear();
        comm.input = c.code;
        Ticks(static_cast<int>(c.code.size()) + 3);
        EXPECT_EQ(rec.delivered, c.delivered) << c.prefix;
    }
}

TEST_F(Loop, FailedReadsCountAsEmptyTicks) {
    Connect();
    comm.input = "12";
    Ticks(1);
    comm.Fail(CommCall::ClearError, 21); // the other end went away
    Ticks(1);                            // the pending character still comes out
    EXPECT_EQ(loop->ReadBuffer(), L"12");
    Ticks(2);
    EXPECT_TRUE(rec.delivered.empty());
    Ticks(1);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{kMark + L"12"});
    EXPECT_EQ(driver.Error().Operation, L"CommRead (ClearCommError)");
}

TEST_F(Loop, TickArrivingDuringMessageProcessingDoesNotRunTheLoopAgain) {
    Connect();
    comm.input = "12345";
    int nested = 0;
    bool inside = false;
    pump.during = [&] {
        if (inside)
            return;
        inside = true; // one tick arriving inside each message-processing point
        ++nested;
        loop->Timer1Tick();
        inside = false;
    };
    Ticks(5 + 3);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{kMark + L"12345"});
    EXPECT_EQ(comm.Calls(CommCall::ClearError), 8);
}

TEST_F(Loop, StartUpConnectOpensComPortPlusOneAtTheShownSpeed) {
    state.IsStarting = true;
    settings.ComPort = 2;
    loop->bConnectionClick();
    EXPECT_EQ(comm.openedName, "COM3");
    EXPECT_EQ(comm.builtFrom, "baud=9600 parity=N data=8 stop=1");
    EXPECT_EQ(rec.log,
              (std::vector<std::wstring>{L"remove hook", L"tip Quillomarte Corvanthelix",
                                         L"tray 0 0", L"fields off timer=off connected=no"}));
    EXPECT_EQ(form.Get(L"bConnection").Text(), L"strDisconnect/BG");
    EXPECT_TRUE(form.Get(L"Timer1").Enabled());
    EXPECT_TRUE(state.Connected);
}

TEST_F(Loop, FailedConnectLeavesEverythingOffAndCanBeRetried) {
    settings.Language = L"EN";
    comm.Fail(CommCall::SetState, 87, 1); // a speed the device refuses
    loop->bConnectionClick();
    EXPECT_EQ(rec.log, (std::vector<std::wstring>{L"remove hook", L"tray 1 1",
                                                  L"fields on timer=off connected=no"}));
    EXPECT_EQ(form.Get(L"bConnection").Text(), L"strConnect/BG");
    EXPECT_FALSE(form.Get(L"Timer1").Enabled());
    EXPECT_FALSE(state.Connected);
    EXPECT_EQ(comm.OpenHandles(), 0);
    loop->bConnectionClick();
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(form.Get(L"bConnection").Text(), L"strDisconnect/EN");
}

TEST_F(Loop, DisconnectStepsInOrderAndRemovesTheHook) {
    Connect();
    form.Get(L"cBitsPerSecond").SetSelectedIndex(3);
    loop->bConnectionClick();
    EXPECT_EQ(rec.log, (std::vector<std::wstring>{L"tray 1 1", L"fields on timer=on connected=yes",
                                                  L"remove hook"}));
    EXPECT_EQ(form.Get(L"bConnection").Text(), L"strConnect/BG");
    EXPECT_FALSE(form.Get(L"Timer1").Enabled());
    EXPECT_FALSE(state.Connected);
    EXPECT_EQ(comm.OpenHandles(), 0);
    loop->bConnectionClick();
    EXPECT_EQ(comm.builtFrom, "baud=14400 parity=N data=8 stop=1");
}

TEST_F(Loop, KeyboardReaderConnectsWithoutAPortAndOnlyWhenItsHookIsInPlace) {
    settings.IsKeyBoard = 1;
    rec.hookInstalls = false; // the system refuses the hook: a failed connect
    loop->bConnectionClick();
    EXPECT_EQ(rec.log, (std::vector<std::wstring>{L"install hook", L"tray 1 1",
                                                  L"fields on timer=off connected=no"}));
    EXPECT_EQ(form.Get(L"bConnection").Text(), L"strConnect/BG");
    EXPECT_FALSE(state.Connected);
    rec.log.clear();
    rec.hookInstalls = true;
    loop->bConnectionClick();
    EXPECT_EQ(rec.log, (std::vector<std::wstring>{L"install hook", L"tray 1 0",
                                                  L"fields off timer=off connected=no"}));
    EXPECT_EQ(comm.Calls(CommCall::Open), 0);
    EXPECT_TRUE(form.Get(L"Timer1").Enabled());
    EXPECT_TRUE(state.Connected);
    Ticks(5); // reads bring nothing
    EXPECT_TRUE(rec.delivered.empty());
    rec.log.clear();
    loop->bConnectionClick();
    EXPECT_EQ(rec.log, (std::vector<std::wstring>{L"tray 1 1", L"fields on timer=on connected=yes",
                                                  L"remove hook"}));
    EXPECT_FALSE(state.Connected);
}
