// Sequences of key events and silences into the keyboard reader's decision. Checked throughout:
// every key event of a person reaches the application exactly once and in the order typed
// (passed on at once, or given back as the very same event), unless it was part of a capture
// that delivered its code; the program's own keys change no decision and never open a capture;
// only the four openings open one; a capture never holds more than its bounds.
//
// Input: bytes 0-3 the first time stamp, byte 4 the prefix rule, then 6 bytes an event:
// virtual-key code, scan code, flags, milliseconds since the last event, own-key bits (bit 0:
// a key of the program's own; bit 1: the oldest key given back comes through first), hook code
// (non-zero below 8: not a key event; 8: a silence instead of a key event).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeCodePage.h"
#include "FuzzCheck.h"
#include "core/Hook.h"
#include "core/ModMainReader.h"

using namespace corv;

namespace {

bool MayOpen(const KeyEvent& k) {
    return k.vkCode == kVkReaderStart ||
           (k.vkCode == kVkRightShift && k.flags == kKeyExtended &&
            k.scanCode != kScanRightShift) ||
           (k.vkCode == kVkSemicolon && k.flags == kKeyReleased) ||
           (k.vkCode == kVkDigit5 && (k.flags & kKeyReleased) == 0);
}

struct Model {
    std::map<std::uint32_t, KeyEvent> typed; // by number, the person's key events
    std::set<std::uint32_t> reached;         // numbers the application got
    std::set<std::uint32_t> consumed;        // numbers that went into a delivered code
    std::uint32_t last = 0;                  // the number the application got last
    std::uint32_t next = 1;

    void Reach(std::uint32_t n, const std::string& what) {
        FUZZ_CHECK(n > last && reached.insert(n).second,
                   "keys reach the application once and in order: " + what);
        last = n;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    std::uint32_t time = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24;
    const std::int16_t prefix = static_cast<std::int16_t>(data[4] % 6);
    fake::Cp1251CodePage cp;
    HookState state;
    Model m;
    int captures = 0, deliveries = 0;

    // Keys given back reach the application first, then a key passed on. A capture that ends
    // at its Enter delivers the code it collected (none for a prefix rule outside the table):
    // whatever it swallowed and did not give back went into that code.
    const auto carryOut = [&](const HookDecision& d, std::uint32_t passed, bool ended,
                              const std::wstring& captured, const std::string& what) {
        std::vector<std::wstring> delivered;
        for (const auto& action : d.After) {
            if (action.kind == HookAction::Kind::Deliver)
                delivered.push_back(action.Text);
            for (const auto& k : action.Keys) {
                const auto it = m.typed.find(k.dwExtraInfo);
                FUZZ_CHECK(it != m.typed.end() && it->second == k,
                           "a key given back is one typed, unchanged: " + what);
                m.Reach(k.dwExtraInfo, what);
            }
        }
        if (passed)
            m.Reach(passed, what);
        const auto text = ApplyPrefix(prefix, captured);
        FUZZ_CHECK(delivered == (ended && text ? std::vector{*text} : std::vector<std::wstring>{}),
                   "a capture's end delivers the code it collected, and only its end: " + what);
        if (!ended)
            return;
        deliveries += static_cast<int>(delivered.size());
        for (const auto& [n, key] : m.typed)
            if (!m.reached.count(n))
                m.consumed.insert(n);
    };

    for (std::size_t at = 5; at + 6 <= size && m.next < 4000; at += 6) {
        const std::uint8_t* e = data + at;
        time += e[3];
        if (e[5] == 8) {
            carryOut(DecideSilence(state), 0, false, L"", "silence");
            FUZZ_CHECK(!state.Capturing && !state.Deciding, "a silence gives back what is held");
            continue;
        }
        const bool own = (e[4] & 1) || ((e[4] & 2) && !state.Returning.empty());
        const std::int32_t code = e[5] < 8 ? e[5] : 0;
        KeyEvent key{e[0], e[1], e[2], time, 0};
        if (own) {
            if ((e[4] & 2) && !state.Returning.empty())
                key = state.Returning.front();
            key.flags |= kKeyInjected;
            key.dwExtraInfo = static_cast<std::uint32_t>(kInjectedKeyTag);
        } else if (code == 0) {
            key.dwExtraInfo = m.next++;
            m.typed[key.dwExtraInfo] = key;
        }
        const std::string what = "vk " + std::to_string(key.vkCode) + " scan " +
                                 std::to_string(key.scanCode) + " flags " +
                                 std::to_string(key.flags) + " code " + std::to_string(code);

        const HookState before = state;
        const HookDecision d = DecideKeyEvent(code, key, state, prefix, cp);
        if (code != 0 || own) {
            FUZZ_CHECK(!d.Swallow && d.After.empty(), "passed untouched: " + what);
            FUZZ_CHECK(state.Capturing == before.Capturing && state.Deciding == before.Deciding &&
                           state.CapturedCode == before.CapturedCode && state.Held == before.Held,
                       "a key that is not a reader's changes nothing: " + what);
            continue;
        }
        // Ended at its Enter, rather than given back whole (its opening goes back first then).
        bool gaveBack = false;
        for (const auto& action : d.After)
            gaveBack |= !before.Held.empty() && !action.Keys.empty() &&
                        action.Keys.front() == before.Held.front();
        const bool ended = before.Capturing && before.EndSeen && !state.Capturing && !gaveBack;
        carryOut(d, d.Swallow ? 0 : key.dwExtraInfo, ended, before.CapturedCode, what);
        if (state.Capturing && !before.Capturing) {
            FUZZ_CHECK(MayOpen(key), "only an opening opens a capture: " + what);
            ++captures;
        }
        FUZZ_CHECK(state.CapturedCode.size() <= kMaxCaptureCharacters &&
                       state.Held.size() <= kMaxHeldKeyEvents,
                   "a capture stays within its bounds: " + what);
    }
    carryOut(DecideSilence(state), 0, false, L"", "the last silence");
    FUZZ_CHECK(!state.Capturing && !state.Deciding, "a silence ends every capture");
    FUZZ_CHECK(m.reached.size() + m.consumed.size() == m.typed.size(),
               "every key reaches the application once or goes into a code: " +
                   std::to_string(m.typed.size()) + " typed, " + std::to_string(m.reached.size()) +
                   " reached, " + std::to_string(m.consumed.size()) + " in codes");
    FUZZ_CHECK(deliveries <= captures, "one delivery per capture");
    return 0;
}
