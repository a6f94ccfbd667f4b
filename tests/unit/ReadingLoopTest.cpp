// The reading loop and the connect action, driven by tick scripts: tokens separated by spaces,
// run in order.
//   "."      one tick with nothing new at the port;  "123"  those bytes arrive, then one tick
//            ("7*1025": 1025 sevens)
//   "click"  bConnection pressed;  "click!"  pressed from inside the next tick's message processing
//   "retry"  the retry timer fires (or a device arrives, or the computer wakes up)
//   "gone"   COM1 unplugged: reads fail (21), opening fails (2);  "back"  plugged in again
//   "busy"   held by another program: the next opening fails (5);  "fail"  the next read fails
//   (1117);  "com3"  COM3 picked;  "kbd"  the keyboard reader picked;  "nohook"  the system
//   refuses the keyboard hook;  "start"  the program is starting;  "hold"/"free"  the Test window
//   holds the loop / lets it go;  "read"  it reads the port
// What the user sees, in order: "~123" a code delivered (~ the prefix mark); "[on]"/"[off]" the
// tray image set ("[+on]" when the icon is added); "(retry)"/"(stop)" the retry timer started
// or stopped; and at the end "dropped=N" when codes were dropped.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <sstream>

#include "FakeCodePage.h"
#include "FakeComm.h"
#include "FakeReaderWindow.h"
#include "common/Text.h"
#include "core/ReadingLoop.h"

using namespace corv;
using fake::CommCall;

namespace {

const std::wstring kMark(1, L'\u00A0');

// "7*3" is "777"; the character before the star is repeated.
std::string Expand(const std::string& token) {
    const auto star = token.find('*');
    if (star == std::string::npos || star == 0)
        return token;
    return token.substr(0, star - 1) +
           std::string(std::stoul(token.substr(star + 1)), token[star - 1]);
}

struct Recorder : CodeDelivery, TrayIcon, KeyboardHookControl, ResStrings {
    std::vector<std::wstring> delivered;
    std::vector<std::wstring> log;
    std::wstring events; // what the user sees, for the scripts
    std::wstring tip;
    void See(const std::wstring& what) { events += (events.empty() ? L"" : L" ") + what; }
    void DeliverCode(const std::wstring& code) override {
        delivered.push_back(code);
        See(ReplaceAll(code, kMark, L"~"));
    }
    void UpdateTrayIcon(int operation, std::int16_t image) override {
        log.push_back(L"tray " + std::to_wstring(operation) + L" " + std::to_wstring(image));
        See(std::wstring(L"[") + (operation == kAdd ? L"+" : L"") +
            (image == 0 ? L"on]" : L"off]"));
    }
    void SetTrayTip(const std::wstring& text) override {
        log.push_back(L"tip");
        tip = text;
    }
    bool InstallKeyboardHook() override {
        log.push_back(L"install hook");
        return hookInstalls;
    }
    bool hookInstalls = true;
    void RemoveKeyboardHook() override { log.push_back(L"remove hook"); }
    std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) override {
        static const std::map<std::wstring, std::wstring> tips = {
            {L"strTipPort", L"on %1 at %2"},
            {L"strTipRetrying", L"%1 retrying"},
            {L"strTipNotConnected", L"off"},
            {L"strTipKeyboard", L"keyboard"},
            {L"strTipDropped", L"dropped %1"}};
        const auto it = tips.find(key);
        return it != tips.end() ? it->second : key + L"/" + language;
    }
};

struct World {
    AppSettings settings;
    AppState state;
    fake::FakeComm comm;
    fake::FakeMessagePump pump;
    fake::Cp1251CodePage cp;
    modCOMM driver{comm, pump, cp};
    Serial serial{driver};
    Recorder rec;
    fake::FakeReaderWindow window;
    std::unique_ptr<ReadingLoop> loop;

    World() {
        window.caption = L"strConnect/BG";
        settings.SendTo = 1;
        window.onShowConnected = [this](bool connected) {
            rec.log.push_back(std::wstring(L"fields ") + (connected ? L"off" : L"on") + L" timer=" +
                              (window.reading ? L"on" : L"off") + L" connected=" +
                              (state.Connected ? L"yes" : L"no"));
        };
        loop = std::make_unique<ReadingLoop>(
            ReadingLoop::Parts{settings, state, serial, pump, cp, rec, rec, rec, rec, window});
        loop->RetryTimer = [this](bool run) { rec.See(run ? L"(retry)" : L"(stop)"); };
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
    // Runs a tick script; returns what the user saw.
    std::string Run(const std::string& script) {
        std::istringstream tokens(script);
        for (std::string t; tokens >> t;) {
            if (t == "click") {
                loop->bConnectionClick();
                continue;
            } else if (t == "click!") {
                pump.during = [this] {
                    pump.during = nullptr;
                    loop->bConnectionClick();
                };
                continue;
            } else if (t == "retry") {
                loop->RetryConnect();
            } else if (t == "gone") {
                comm.Unplug("COM1");
            } else if (t == "back") {
                comm.Plug("COM1");
            } else if (t == "busy") {
                comm.Fail(CommCall::Open, 5, 1);
            } else if (t == "fail") {
                comm.Fail(CommCall::ClearError, 1117, 1);
            } else if (t == "com3") {
                settings.ComPort = 2;
            } else if (t == "kbd") {
                settings.IsKeyBoard = 1;
            } else if (t == "nohook") {
                rec.hookInstalls = false;
            } else if (t == "start") {
                state.IsStarting = true;
            } else if (t == "hold" || t == "free") {
                loop->HoldReading(t == "hold");
            } else if (t == "read") {
                loop->ReadPort();
            } else {
                if (t != ".")
                    comm.input += Expand(t);
                loop->Timer1Tick();
                EXPECT_LE(loop->ReadBuffer().size(), kMaxCodeLength) << script;
            }
        }
        std::string seen(rec.events.begin(), rec.events.end());
        if (loop->DroppedCodes() > 0)
            seen += " dropped=" + std::to_string(loop->DroppedCodes());
        return seen;
    }
};

struct Loop : ::testing::Test, World {};

// The reader is connected when the last image shown is the connected one.
bool ShowsConnected(const std::string& seen) {
    const auto on = seen.rfind("on]");
    return on != std::string::npos &&
           (seen.rfind("off]") == std::string::npos || seen.rfind("off]") < on);
}

struct Script {
    const char* script;
    std::string seen;
};

} // namespace

TEST(ReadingLoop, TickScripts) {
    const Script cases[] = {
        // A tick takes everything waiting; three empty ticks end a code, however long it is.
        {"click 12345 . .", "[on]"},
        {"click 12345 . . .", "[on] ~12345"},
        {"click 1*40 . .", "[on]"},
        {"click 1*40 . . .", "[on] ~1*40"},
        {"click 1234567890 . . . 1234567890 . . .", "[on] ~1234567890 ~1234567890"},
        {"click 12 . 34 . . .", "[on] ~1234"},
        {"click 12 . . 34 . . .", "[on] ~12 ~34"}, // over 100 ms of silence: two codes
        {"click 7*1025 . . 5 . . .", "[on] [on] ~5 dropped=1"},
        {"click 1*1024 . . .", "[on] ~1*1024"},
        // Longer than 1,024 characters: dropped, however it came, and reading goes on.
        {"click 7*1025 . . . 5 . . .", "[on] [on] ~5 dropped=1"}, // the tip tells
        {"click 7*3000 . . . . 5 . . .", "[on] [on] ~5 dropped=1"},
        {"click 7*600 7*600 7*600 7*600 . . . 5 . . . 8*2000 . . . .",
         "[on] [on] ~5 [on] dropped=2"},
        // A failed read neither ends a code nor loses it; reads that keep failing lose the port,
        // and a code cut off by that is not typed.
        {"click 12 fail . . .", "[on]"},
        {"click 12 fail . . . .", "[on] ~12"},
        {"click gone . . .", "[on]"},
        {"click 12 gone . . . . . . .", "[on] [off] (retry)"},
        // No stale bytes: a disconnect or a lost port forgets the code being read.
        {"click 12 click click 34 . . .", "[on] [off] [on] ~34"},
        {"click 12 click! 34 click 5 . . .", "[on] [off] [on] ~5"},
        {"click 12 gone . . . . retry back retry 5 . . .",
         "[on] [off] (retry) [off] [on] (stop) ~5"},
        // It comes back by itself, with the port picked meanwhile, and only while wanted.
        {"gone click retry retry back retry 5 . . .", "[off] (retry) [on] (stop) ~5"},
        {"gone click com3 retry 5 . . .", "[off] (retry) [on] (stop) ~5"},
        {"busy click retry 5 . . .", "[off] (retry) [on] (stop) ~5"},
        {"start gone click back retry", "[+off] (retry) [on] (stop)"},
        {"gone click click", "[off] (retry)"},
        {"click click retry 5 . . .", "[on] [off]"},
        {"gone click kbd retry", "[off] (retry) [on] (stop)"},
        {"kbd click 5 . . .", "[on]"}, // the keyboard reader: no port is read
        // The Test window holds the loop and reads for itself; a lost port is noticed all the same.
        {"click hold 5 . . . free . . . .", "[on] ~5"},
        {"click hold gone read read read read", "[on] [off] (retry)"},
    };
    for (const auto& c : cases) {
        World w;
        std::string expected;
        std::istringstream tokens(c.seen);
        for (std::string t; tokens >> t;)
            expected += (expected.empty() ? "" : " ") + Expand(t);
        EXPECT_EQ(w.Run(c.script), expected) << c.script;
        EXPECT_EQ(w.state.Connected, ShowsConnected(expected)) << c.script;
        EXPECT_EQ(w.window.reading, w.state.Connected) << c.script;
    }
}

// The tip: the program's name, then the reader's state, the reason and the drops.
TEST(ReadingLoop, TrayTipSaysWhy) {
    const Script cases[] = {
        {"click", "on COM1 at 9600"},
        {"kbd click", "keyboard"},
        {"click click", "off"},
        {"gone click", "COM1 retrying|The system cannot find the file specified."},
        {"com3 busy click", "COM3 retrying|Access is denied."},
        {"click gone . . . .", "COM1 retrying|The device is not ready."},
        {"click 7*1025 . . . 7*2000 . . .", "on COM1 at 9600|dropped 2"},
    };
    for (const auto& c : cases) {
        World w;
        w.Run(c.script);
        const std::wstring tip = w.rec.tip;
        ASSERT_TRUE(tip.starts_with(std::wstring(kTrayTip) + L"\n")) << c.script;
        const std::wstring rest = ReplaceAll(tip.substr(std::wcslen(kTrayTip) + 1), L"\n", L"|");
        EXPECT_EQ(std::string(rest.begin(), rest.end()), c.seen) << c.script;
    }
}

TEST_F(Loop, CardCodeIsHexEncodedAndSelectsAllCharacters) {
    settings.Prefix = 0;
    Connect();
    comm.input = "CARD:1A\r\n";
    Ticks(1 + 3);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{L"31410D0A"});
    EXPECT_EQ(settings.SendTo, 0);
    EXPECT_EQ(window.allCharacterPicks, 1);

    settings.Prefix = 1;
    comm.input = "xCARD:\xC0";
    Ticks(1 + 3);
    EXPECT_EQ(rec.delivered.back(), kMark + L"78C0");
    comm.input = "card:1";
    Ticks(1 + 3);
    EXPECT_EQ(rec.delivered.back(), kMark + L"card:1"); // the marker is case-sensitive
    EXPECT_EQ(window.allCharacterPicks, 2);
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
        Ticks(1 + 3);
        EXPECT_EQ(rec.delivered, c.delivered) << c.prefix;
    }
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
    Ticks(1 + 3);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(rec.delivered, std::vector<std::wstring>{kMark + L"12345"});
    EXPECT_EQ(comm.Calls(CommCall::ClearError), 4);
}

// The steps of the script's last click, in order.
TEST(ReadingLoop, ConnectAndDisconnectSteps) {
    struct Case {
        std::string script;
        std::vector<std::wstring> log;
        const wchar_t* caption;
    };
    const Case cases[] = {
        {"start com3 click",
         {L"remove hook", L"tip", L"tray 0 0", L"fields off timer=off connected=no"},
         L"strDisconnect/BG"},
        {"click click",
         {L"tip", L"tray 1 1", L"fields on timer=on connected=yes", L"remove hook"},
         L"strConnect/BG"},
        {"kbd click click",
         {L"tip", L"tray 1 1", L"fields on timer=on connected=yes", L"remove hook"},
         L"strConnect/BG"},
        {"kbd nohook click",
         {L"install hook", L"tip", L"tray 1 1", L"fields on timer=off connected=no"},
         L"strConnect/BG"},
        {"kbd click",
         {L"install hook", L"tip", L"tray 1 0", L"fields off timer=off connected=no"},
         L"strDisconnect/BG"},
        {"gone click",
         {L"remove hook", L"tip", L"tray 1 1", L"fields on timer=off connected=no"},
         L"strConnect/BG"},
    };
    for (const auto& c : cases) {
        World w;
        const auto last = c.script.rfind(' ');
        if (last != std::string::npos)
            w.Run(c.script.substr(0, last));
        w.rec.log.clear();
        w.Run(c.script.substr(last == std::string::npos ? 0 : last + 1));
        EXPECT_EQ(w.rec.log, c.log) << c.script;
        EXPECT_EQ(w.window.caption, c.caption) << c.script;
        EXPECT_EQ(w.comm.OpenHandles(), w.state.Connected && !w.settings.IsKeyBoard) << c.script;
        if (c.script.starts_with("start com3")) {
            EXPECT_EQ(w.comm.openedName, "COM3");
            EXPECT_EQ(w.comm.builtFrom, "baud=9600 parity=N data=8 stop=1");
        }
    }
}

TEST_F(Loop, AFailedConnectLeavesTheFieldsOnAndTheNextAttemptUsesTheSpeedPickedMeanwhile) {
    settings.Language = L"EN";
    comm.Fail(CommCall::SetState, 87, 1); // a speed the device refuses
    loop->bConnectionClick();
    EXPECT_EQ(comm.OpenHandles(), 0);
    window.speed = L"14400";
    loop->RetryConnect();
    EXPECT_TRUE(state.Connected);
    EXPECT_EQ(comm.builtFrom, "baud=14400 parity=N data=8 stop=1");
    EXPECT_EQ(window.caption, L"strDisconnect/EN");
}
