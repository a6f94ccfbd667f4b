// Key events and silences into the keyboard reader wired as the program wires it, its actions
// carried out now and then. Checked: every key a person types reaches the application once, in
// order and unchanged, or went into the code of a capture that ended at its Enter, and each such
// code is delivered once, in order; a key down in the application comes up there; a capture
// stays within its bounds, and a silence ends it.
// Input: bytes 0-3 the first time stamp, byte 4 the prefix rule, then 5 bytes an event: virtual-
// key code, scan code, flags, ms since the last event, and how (bit 0: the actions run first;
// bit 1: a key of the program's own, unless keys are on their way back; 0xFF: a silence).
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
    std::vector<KeyEvent> typed;               // a person's keys, numbered from 1 in dwExtraInfo
    std::set<std::uint32_t> reached, consumed; // their numbers
    std::deque<std::wstring> due;              // the codes of ended captures
    std::map<std::uint32_t, bool> down; // keys down in the application, once what is decided is
    std::size_t seen = 0;               // inputs of the desktop looked at
    const auto decided = [&](const HookDecision& d, std::set<std::uint32_t>* back = nullptr) {
        for (const HookAction& a : d.After)
            for (const KeyEvent& k : a.Keys)
                if (down[k.vkCode] = !(k.flags & kKeyReleased); back)
                    back->insert(k.dwExtraInfo);
        r.queue.Add(std::vector(d.After));
    };
    const auto reach = [&](const KeyEvent& k) {
        FUZZ_CHECK(k.dwExtraInfo - 1 < typed.size() && typed[k.dwExtraInfo - 1] == k &&
                       (reached.empty() || k.dwExtraInfo > *reached.rbegin()) &&
                       !consumed.contains(k.dwExtraInfo),
                   "key " + std::to_string(k.dwExtraInfo) + " reaches the application");
        reached.insert(k.dwExtraInfo);
    };
    const auto run = [&] {
        r.Run();
        for (; seen < r.desktop.injected.size(); ++seen)
            for (const KeyEvent& k : r.desktop.injected[seen])
                if (k.dwExtraInfo != 0) // not typed by the program
                    reach(k);
    };
    const auto silence = [&] {
        run(), decided(DecideSilence(r.state)), run();
        FUZZ_CHECK(!r.state.Capturing && !r.state.Deciding, "a silence ends a capture");
    };
    r.deliver = [&](const std::wstring& code) {
        FUZZ_CHECK(!due.empty() && due.front() == code, "delivered: " + fuzz::Printable(code));
        due.pop_front();
        r.desktop.TypeText(code, true);
    };
    for (std::size_t at = 5; at + 5 <= size && typed.size() < 4000; at += 5) {
        const std::uint8_t* e = data + at;
        KeyEvent key{e[0], e[1], e[2], time += e[3], static_cast<std::uint32_t>(typed.size() + 1)};
        if (e[4] & 1)
            run();
        if (e[4] == 0xFF) {
            silence();
        } else if (e[4] & 2 && r.state.Returning.empty()) {
            key.flags |= kKeyInjected, key.dwExtraInfo = kInjectedKeyTag;
            FUZZ_CHECK(!r.desktop.hook(key), "the program's own keys pass");
        } else {
            typed.push_back(key);
            const HookState was = r.state;
            const HookDecision d = DecideKeyEvent(0, key, r.state, r.prefix, r.codePage);
            std::set<std::uint32_t> back; // the keys given back
            decided(d, &back);
            if (!d.Swallow)
                reach(key), down[key.vkCode] = !(key.flags & kKeyReleased);
            if (was.Capturing && was.EndSeen && !r.state.Capturing &&
                !std::ranges::all_of(was.Held,
                                     [&](auto& k) { return back.contains(k.dwExtraInfo); })) {
                for (const KeyEvent& k : was.Held)
                    if (!back.contains(k.dwExtraInfo))
                        FUZZ_CHECK(!(k.flags & kKeyReleased) || !down[k.vkCode],
                                   "a key down in the application comes up there"),
                            consumed.insert(k.dwExtraInfo);
                if (const auto code = ApplyPrefix(r.prefix, was.CapturedCode))
                    due.push_back(*code);
            }
            FUZZ_CHECK(r.state.CapturedCode.size() <= kMaxCaptureCharacters &&
                           r.state.Held.size() <= kMaxHeldKeyEvents,
                       "a capture stays within its bounds");
        }
    }
    silence();
    FUZZ_CHECK(due.empty() && reached.size() + consumed.size() == typed.size(),
               std::to_string(typed.size()) + " typed, " + std::to_string(reached.size()) +
                   " reached, " + std::to_string(consumed.size()) + " in codes, " +
                   std::to_string(due.size()) + " codes not delivered");
    return 0;
}
