// Key events and silences into the keyboard reader wired as the program wires it, its actions
// carried out now and then. Checked: each key a person types reaches the application once and in
// order, passed on or given back unchanged, unless it went into the code of a capture that ended
// at its Enter, which is delivered once; the program's own keys change nothing; a capture opens
// only at an opening, stays within its bounds, and a silence ends it.
// Input: bytes 0-3 the first time stamp, byte 4 the prefix rule, then 5 bytes an event: virtual-
// key code, scan code, flags, ms since the last event, and how (bit 0: the waiting actions run
// first; bit 1: a key of the program's own, unless keys are on their way back; 0xFF: a silence
// instead of a key).
#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include "FakeDesktop.h"
#include "FuzzCheck.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    fake::FakeKeyboardReader r;
    r.prefix = static_cast<std::int16_t>(data[4] % 6);
    std::uint32_t time = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24;
    std::map<std::uint32_t, KeyEvent> typed; // a person's keys by number (in dwExtraInfo)
    std::set<std::uint32_t> consumed;
    std::deque<std::wstring> due; // codes of ended captures, in order
    std::size_t reached = 0, seen = 0;
    std::uint32_t last = 0;
    const auto reach = [&](const KeyEvent& k) {
        const auto it = typed.find(k.dwExtraInfo);
        FUZZ_CHECK(it != typed.end() && it->second == k && k.dwExtraInfo > last &&
                       !consumed.contains(k.dwExtraInfo),
                   "a key reaches the application unchanged, once, in order: " +
                       std::to_string(k.dwExtraInfo) + " after " + std::to_string(last));
        last = k.dwExtraInfo;
        ++reached;
    };
    const auto run = [&] {
        r.Run();
        for (; seen < r.desktop.injected.size(); ++seen)
            for (const KeyEvent& k : r.desktop.injected[seen])
                if (k.dwExtraInfo != 0) // not a character typed by the program
                    reach(k);
    };
    r.deliver = [&](const std::wstring& code) {
        FUZZ_CHECK(!due.empty() && due.front() == code,
                   "only an ended capture's code is delivered, once: " + fuzz::Printable(code));
        due.pop_front();
        r.desktop.TypeText(code, true);
    };
    r.desktop.hook = [&](const KeyEvent& k) {
        const HookState was = r.state;
        const HookDecision d = r.Key(0, k);
        FUZZ_CHECK(!d.Swallow && d.After.empty() && r.state.Capturing == was.Capturing &&
                       r.state.Deciding == was.Deciding && r.state.Held == was.Held &&
                       r.state.CapturedCode == was.CapturedCode,
                   "the program's own keys change nothing");
        return false;
    };
    for (std::size_t at = 5; at + 5 <= size && typed.size() < 4000; at += 5) {
        const std::uint8_t* e = data + at;
        time += e[3];
        if (e[4] & 1)
            run();
        KeyEvent key{e[0], e[1], e[2], time, static_cast<std::uint32_t>(typed.size() + 1)};
        if (e[4] == 0xFF) {
            r.queue.Add(DecideSilence(r.state).After);
            run();
            FUZZ_CHECK(!r.state.Capturing && !r.state.Deciding, "a silence ends a capture");
            continue;
        }
        if (e[4] & 2 && r.state.Returning.empty()) {
            r.desktop.hook({key.vkCode, key.scanCode, key.flags | kKeyInjected, time,
                            static_cast<std::uint32_t>(kInjectedKeyTag)});
            continue;
        }
        typed[key.dwExtraInfo] = key;
        const HookState was = r.state;
        const HookDecision d = r.Key(0, key);
        if (!d.Swallow)
            reach(key);
        std::set<std::uint32_t> givenBack;
        for (const HookAction& a : d.After)
            for (const KeyEvent& k : a.Keys)
                givenBack.insert(k.dwExtraInfo);
        if (was.Capturing && was.EndSeen && !r.state.Capturing &&
            !givenBack.contains(was.Held.front().dwExtraInfo)) {
            for (const KeyEvent& k : was.Held)
                if (!givenBack.contains(k.dwExtraInfo))
                    consumed.insert(k.dwExtraInfo);
            if (const auto code = ApplyPrefix(r.prefix, was.CapturedCode))
                due.push_back(*code);
        }
        const bool opening = key.vkCode == kVkReaderStart ||
                             (key.vkCode == kVkRightShift && key.flags == kKeyExtended &&
                              key.scanCode != kScanRightShift) ||
                             (key.vkCode == kVkSemicolon && key.flags == kKeyReleased) ||
                             (key.vkCode == kVkDigit5 && !(key.flags & kKeyReleased));
        FUZZ_CHECK(!r.state.Capturing || was.Capturing || opening, "only an opening opens");
        FUZZ_CHECK(r.state.CapturedCode.size() <= kMaxCaptureCharacters &&
                       r.state.Held.size() <= kMaxHeldKeyEvents,
                   "a capture stays within its bounds");
    }
    run();
    r.queue.Add(DecideSilence(r.state).After);
    run();
    FUZZ_CHECK(!r.state.Capturing && !r.state.Deciding && due.empty(), "all ended and delivered");
    FUZZ_CHECK(reached + consumed.size() == typed.size(),
               "every key reaches the application or goes into a code: " +
                   std::to_string(typed.size()) + " typed, " + std::to_string(reached) +
                   " reached, " + std::to_string(consumed.size()) + " in codes");
    return 0;
}
