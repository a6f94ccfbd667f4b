// The reading loop, its connect action and the port beneath, driven by scripts of words: "."  a
// tick;  "123"  those bytes arrive, then a tick;  "click" ("click!" inside the next message pass);
// "tick!"  a tick inside every message pass;  "retry"  the retry timer, a new device or waking up;
// "gone"/"back"  COM1 unplugged/back;  "Read!1117"  the next such call fails so;  "throw"  the
// next message pass throws ("handler!87": another handler's call fails so);  "Prefix=3", "@14400"
// picked;  "start";  "nohook", "notype"  hook, typing refused;  "hold", "free", "testread"  the
// Test window's;  "write:AB", "flush"  the driver's.  Seen as in LoopWorld, "<tip>", "{error
// record}" after "err", "all=N" card codes that picked all characters. Calls: those of the last
// word ("~" a message pass).
#include <gtest/gtest.h>

#include "FakeComm.h"

using namespace corv;

namespace {

struct World : fake::LoopWorld {
    std::string Run(const std::string& script) {
        const std::map<std::string, std::function<void()>> steps = {
            {"click", [&] { loop.bConnectionClick(); }},
            {"click!", [&] { clickInside = true; }},
            {"tick!", [&] { tickInside = true; }},
            {"throw", [&] { throwNext = true; }},
            {"retry", [&] { loop.RetryConnect(); }},
            {"gone", [&] { comm.devices.erase("COM1"); }},
            {"back", [&] { comm.devices.insert("COM1"); }},
            {"start", [&] { state.IsStarting = true; }},
            {"nohook", [&] { refuseHook = true; }},
            {"notype", [&] { failTyping = true; }},
            {"hold", [&] { loop.HoldReading(true); }},
            {"free", [&] { loop.HoldReading(false); }},
            {"testread", [&] { loop.ReadPort(); }},
            {"err",
             [&, &e = driver.Error()] {
                 See(cp.ToAnsi(L"{" + e.Operation + L"|" + std::to_wstring(e.ErrorCode) + L"|" +
                               e.Message + L"}"));
             }},
            {"flush", [&] { See("flush=" + std::to_string(driver.CommFlush())); }},
            {"tip",
             [&] {
                 See("<" + cp.ToAnsi(ReplaceAll(tip.substr(std::size(kTrayTip)), L"\n", L"|")) +
                     ">");
             }},
        };
        std::istringstream words(script);
        for (std::string t; std::getline(words, t, ' ') && (comm.calls.clear(), true);) {
            if (const auto bang = t.find('!'); steps.count(t))
                steps.at(t)();
            else if (bang != std::string::npos)
                comm.fail[t.substr(0, bang)].push_back(std::stoul(t.substr(bang + 1)));
            else if (t.starts_with("write:"))
                See("write=" + std::to_string(driver.CommWrite(cp.FromAnsi(t.substr(6)))));
            else if (t[0] == '@')
                window.speed = cp.FromAnsi(t.substr(1));
            else if (!fake::SetSetting(settings, t))
                comm.input += t == "." ? "" : t, Tick();
        }
        const int picks = window.allCharacterPicks;
        return seen + (picks ? " all=" + std::to_string(picks) : "");
    }
};

} // namespace

TEST(ReadingLoop, TickScripts) {
    for (const auto& [script, seen, calls] : std::initializer_list<std::array<const char*, 3>>{
             // A tick takes all that waits, then lets messages run twice; three empty ticks, or
             // two and something new, end a code.
             {"click 12 . 34 . . 9715 . . .", "[on] ~1234 9715", "~|ClearError~"},
             {"click 12", "[on]", "~|ClearError|Read 2~~"},
             {"Prefix=0 click xCARD:CARD:\xC0 . . . card:1 . . .", "[on] 78C0 card:1 all=1"},
             {"click tick! 12345 . . . 6 . .", "[on] ~12345"}, // no tick inside a tick
             // A failed read neither ends a code nor loses any of it, and is recorded; reads that
             // keep failing lose the port, and a code cut off by that is not typed.
             {"click 12 ClearError!1117 . . .", "[on]"},
             {"click 12 ClearError!1117 345 . . . . err",
              "[on] ~12345 {CommRead (ClearCommError)|1117|E1117. \r\n}"},
             {"click 12 Read!1117 345 . . . . err",
              "[on] ~12345 {CommRead (ReadFile)|1117|E1117. \r\n  COMM Error Flags = 1A}"},
             {"click 12 Read!997 Wait!996 Wait!1117 345 . . . . err",
              "[on] ~12345 {CommRead (GetOverlappedResult)|1117|E1117. \r\n  COMM Error Flags = "
              "1A}"},
             {"click throw 12 Read!997 Wait!996 345 . . . . err", "[on] ~12345 {CommRead|5|boom}"},
             {"click 12 gone . . . . . . . tip", "[on] [off] (retry) <COM1 retrying|E21.>"},
             {"click notype 111 . . . . . . 222 . . .", "[on] (threw) ~222"}, // loses its code only
             // No stale bytes: a disconnect or a lost port forgets the code being read.
             {"click 12 click! 34 click 5 . . .", "[on] [off] [on] ~5"},
             {"click 12 gone . . . . retry back retry 5 . . . tip",
              "[on] [off] (retry) [off] [on] (stop) ~5 <on COM1 at 9600>"},
             // It comes back by itself, with what was picked meanwhile, and only while wanted.
             {"gone click ComPort=11 retry tip", "[off] (retry) [on] (stop) <on COM12 at 9600>"},
             {"start Open!5 click tip retry", "[+off] (retry) <COM1 retrying|E5.> [on] (stop)"},
             {"SetState!87 click @14400 retry tip", "[off] (retry) [on] (stop) <on COM1 at 14400>"},
             {"@96_00 click tip", "[off] (retry) <COM1 retrying|E87.>"},
             {"click Close!5 click click err",
              "[on] [off] [off] (retry) {CommOpen|-1|Port in use.}"},
             {"click click retry 5 . . . tip", "[on] [off] <off>"},
             {"gone click IsKeyBoard=1 retry 5 . . . tip click",
              "[off] (retry) [on] (stop) <keyboard> [off]"},
             {"IsKeyBoard=1 nohook click tip", "[off] (retry) <keyboard retrying>"},
             // The Test window reads for itself while it holds the loop; a lost port shows all the
             // same.
             {"click hold gone testread testread testread testread", "[on] [off] (retry)"},
             // What no part calls: a write and a flush.
             {"click write:AB handler!87 Write!21 write:x err",
              "[on] write=2 write=-1 {CommWrite (WriteFile)|21|E21. \r\n  COMM Error Flags = 1A}"},
             {"click write:AB\xC0", "[on] write=3", "Write~~~~~~~~~~~"},
             {"click flush Purge!21 flush err",
              "[on] flush=0 flush=21 {CommFlush (PurgeComm)|21|E21. \r\n}"},
         }) {
        World w;
        EXPECT_EQ(w.Run(script), seen) << script;
        EXPECT_EQ(calls ? w.comm.calls : "", calls ? calls : "") << script;
        // What the window and the tray show is what runs.
        const bool on = w.state.Connected, port = on && w.settings.IsKeyBoard != 1;
        EXPECT_EQ(on, std::string(seen).rfind("on]") + 1 > std::string(seen).rfind("off]") + 1);
        EXPECT_EQ(w.window.caption, on ? L"strDisconnect/BG" : L"strConnect/BG") << script;
        EXPECT_TRUE(w.window.reading == on && w.window.connected == on &&
                    w.hooked == (on && !port) && w.comm.open.size() == w.driver.Port().IsOpen &&
                    (!port || std::to_wstring(w.comm.state.BaudRate) == w.window.speed) &&
                    w.settings.SendTo == (w.window.allCharacterPicks > 0 ? 0 : 1))
            << script;
    }
}
