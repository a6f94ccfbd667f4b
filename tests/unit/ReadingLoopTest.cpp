// The reading loop, its connect action and the port beneath, driven by scripts of words:
// "."  a tick;  "123"  those bytes arrive, then a tick ("7*3" is "777");  "<12"  they arrive;
// "click";  "click!"/"tick!"  a click/every tick inside message processing;  "retry"  the retry
// timer, a new device or waking up;  "gone"/"back"  COM1 unplugged/plugged in;  "Read!1117"  the
// next such call fails so;  "Prefix=3", "@14400"  picked;  "start";  "nohook"/"notype"  hook or
// typing refused;  "hold", "free", "testread"  the Test window's;  "open3@9600", "read", "read8"
// (the driver's), "write:AB"  port steps, with their results;  "handler!87"  another handler's
// call fails so meanwhile.  Seen as in LoopWorld, "<tip>", "{error record}" (after "err" and a
// port step that changed it), "all=N" card codes that picked all characters, "dropped=N".
#include <gtest/gtest.h>

#include "FakeReaderWindow.h"

using namespace corv;

namespace {

struct World : fake::LoopWorld {
    std::string Run(const std::string& script) {
        std::uint32_t handlerError = 0;
        bool clickInside = false;
        during = [&] {
            comm.calls += "~";
            if (std::exchange(clickInside, false))
                loop.bConnectionClick();
            if (handlerError) // another handler's call fails meanwhile
                comm.fail["Purge"].push_back(std::exchange(handlerError, 0)), driver.CommFlush();
        };
        std::wstring data;
        auto result = [&](const std::string& step, std::int32_t r) {
            See(step + "=" + std::to_string(r) + (data.empty() ? "" : ":" + cp.ToAnsi(data)));
            if (Error() != "{|0|}" && seen.find(Error()) == std::string::npos)
                See(Error());
        };
        const std::map<std::string, std::function<void()>> steps = {
            {"click", [&] { loop.bConnectionClick(); }},
            {"click!", [&] { clickInside = true; }},
            {"tick!", [&] { tickInside = true; }},
            {"retry", [&] { loop.RetryConnect(); }},
            {"gone", [&] { comm.devices.erase("COM1"); }},
            {"back", [&] { comm.devices.insert("COM1"); }},
            {"start", [&] { state.IsStarting = true; }},
            {"nohook", [&] { refuseHook = true; }},
            {"notype", [&] { failTyping = true; }},
            {"hold", [&] { loop.HoldReading(true); }},
            {"free", [&] { loop.HoldReading(false); }},
            {"testread", [&] { loop.ReadPort(); }},
            {"err", [&] { See(Error()); }},
            {"tip",
             [&] {
                 See("<" + cp.ToAnsi(ReplaceAll(tip.substr(wcslen(kTrayTip) + 1), L"\n", L"|")) +
                     ">");
             }},
            {"read", [&] { result("read", serial.ReadComm(data)); }},
            {"read8", [&] { result("read8", driver.CommRead(data, 8)); }},
        };
        std::istringstream words(fake::ExpandRuns(script));
        for (std::string t; std::getline(words, t, ' ');) {
            comm.calls.clear();
            const auto mark = std::min(t.find_first_of("!@:"), t.size());
            const std::string head = t.substr(0, mark),
                              tail = t.substr(std::min(mark + 1, t.size()));
            if (steps.count(t))
                steps.at(t)();
            else if (head == "handler")
                handlerError = std::stoul(tail);
            else if (t.find('!') == mark)
                comm.fail[head].push_back(std::stoul(tail));
            else if (head.starts_with("open"))
                result("open", serial.OpenComm(std::stoi(head.substr(4)), cp.FromAnsi(tail)));
            else if (head == "write")
                result("write", driver.CommWrite(cp.FromAnsi(tail)));
            else if (head.empty())
                window.speed = cp.FromAnsi(tail);
            else if (t[0] == '<')
                comm.input += t.substr(1);
            else if (!fake::SetSetting(settings, t))
                comm.input += t == "." ? "" : t, Tick();
        }
        if (window.allCharacterPicks > 0)
            See("all=" + std::to_string(window.allCharacterPicks));
        if (loop.DroppedCodes() > 0)
            See("dropped=" + std::to_string(loop.DroppedCodes()));
        return seen;
    }
};

using Cases = std::initializer_list<std::array<const char*, 3>>;

} // namespace

TEST(ReadingLoop, TickScripts) {
    for (const auto& [script, seen, calls] : Cases{
             {"click 12 . 34 . . 9715 . . . 7*1025 . . .", "[on] ~1234 9715 [on] dropped=1"},
             {"Prefix=0 click xCARD:\xC0 . . . card:1 . . .", "[on] 78C0 card:1 all=1"},
             {"click tick! 12345 . . . 6 . .", "[on] ~12345"}, // no tick inside a tick
             // A failed read neither ends a code nor loses any of it, and is recorded; reads that
             // keep failing lose the port, and a code cut off by that is not typed.
             {"click 12 ClearError!1117 345 . . . . err",
              "[on] ~12345 {CommRead (ClearCommError)|1117|E1117. \r\n}"},
             {"click 12 Read!997 Wait!1117 345 . . . . err",
              "[on] ~12345 {CommRead (GetOverlappedResult)|1117|E1117. \r\n  COMM Error Flags = "
              "1A}"},
             {"click 12 gone . . . . . . . tip", "[on] [off] (retry) <COM1 retrying|E21.>"},
             {"click notype 111 . . . . . . 222 . . .", "[on] (threw) ~222"}, // loses its code only
             // No stale bytes: a disconnect or a lost port forgets the code being read.
             {"click 12 click! 34 click 5 . . .", "[on] [off] [on] ~5"},
             {"click 12 gone . . . . retry back retry 5 . . . tip",
              "[on] [off] (retry) [off] [on] (stop) ~5 <on COM1 at 9600>"},
             // It comes back by itself, with what was picked meanwhile, and only while wanted.
             {"gone click ComPort=2 retry tip", "[off] (retry) [on] (stop) <on COM3 at 9600>"},
             {"start Open!5 click tip retry", "[+off] (retry) <COM1 retrying|E5.> [on] (stop)"},
             {"SetState!87 click @14400 retry tip", "[off] (retry) [on] (stop) <on COM1 at 14400>"},
             {"click click retry 5 . . . tip", "[on] [off] <off>"},
             {"gone click IsKeyBoard=1 retry 5 . . . tip click",
              "[off] (retry) [on] (stop) <keyboard> [off]"},
             {"IsKeyBoard=1 nohook click tip", "[off] (retry) <keyboard retrying>"},
             // The Test window holds the loop and reads for itself; a lost port shows all the same.
             {"click hold 5 . . . free . . . .", "[on] ~5"},
             {"click hold gone testread testread testread testread", "[on] [off] (retry)"},
             // The port's steps; the calls ("~" a message processed) are those of the last step.
             {"open3@9600 open12@9600", "open=0 open=-1 {CommOpen|-1|Port in use.}", ""},
             {"open1@96_00 open2@9600", "open=87 {CommOpen (BuildCommDCB)|87|E87. \r\n} open=2 "
                                        "{CommOpen (CreateFile)|2|E2. \r\n}"},
             {"open1@9600 read8 <ab read8", "open=0 read8=0 read8=2:ab", "~|ClearError|Read 8"},
             {"open1@9600 <\xC0 <x*1500 read read", "open=0 read=1024:\xC0x*1023 read=477:x*477",
              "~|ClearError|Read 477"},
             {"open1@9600 <12 Read!997 Wait!996 Wait!996 read", "open=0 read=2:12"},
             {"open1@9600 write:AB\xC0", "open=0 write=3", "Write~*11"},
             {"open1@9600 handler!87 Write!21 write:x",
              "open=0 write=-1 {CommWrite (WriteFile)|21|E21. \r\n  COMM Error Flags = 1A}",
              "Write~|Purge|ClearError"},
         }) {
        World w;
        const std::string expected = fake::ExpandRuns(seen);
        EXPECT_EQ(w.Run(script), expected) << script;
        EXPECT_EQ(calls ? w.comm.calls : "", calls ? fake::ExpandRuns(calls) : "") << script;
        // What the window and the tray show is what runs.
        const bool on = w.state.Connected, port = on && w.settings.IsKeyBoard != 1;
        EXPECT_EQ(on, expected.rfind("on]") + 1 > expected.rfind("off]") + 1) << script;
        EXPECT_EQ(w.window.caption, on ? L"strDisconnect/BG" : L"strConnect/BG") << script;
        EXPECT_TRUE(w.window.reading == on && w.window.connected == on && w.hooked == (on && !port))
            << script;
        EXPECT_EQ(w.comm.OpenHandles(), w.driver.Port().IsOpen) << script;
        EXPECT_EQ(port ? std::to_wstring(w.comm.state.BaudRate) : w.window.speed, w.window.speed);
        EXPECT_EQ(w.settings.SendTo, w.window.allCharacterPicks > 0 ? 0 : 1) << script;
    }
}
