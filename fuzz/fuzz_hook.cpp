// Sequences of key events into the keyboard reader's decision. Checked after every event: a
// capture ends exactly at the first release after an Enter press, and then hands its code on
// once; until then every key of the capture is swallowed (but a left Shift release); the
// program's own keys change nothing and never open a capture; only the four openings open one.
//
// Input: bytes 0-3 the first time stamp, byte 4 the prefix rule, then 6 bytes an event:
// virtual-key code, scan code, flags, milliseconds since the last event, own-key tag (odd: the
// program's own key), hook code (non-zero below 8: not a key event).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FakeCodePage.h"
#include "FuzzCheck.h"
#include "core/Hook.h"
#include "core/ModMainReader.h"

using namespace corv;
using fuzz::Printable;

namespace {

bool SameKey(const KeyEvent& a, const KeyEvent& b) {
    return a.vkCode == b.vkCode && a.scanCode == b.scanCode && a.flags == b.flags &&
           a.time == b.time && a.dwExtraInfo == b.dwExtraInfo;
}

bool MayOpen(const KeyEvent& k) {
    return k.vkCode == kVkReaderStart ||
           (k.vkCode == kVkRightShift && k.flags == kKeyExtended &&
            k.scanCode != kScanRightShift) ||
           (k.vkCode == kVkSemicolon && k.flags == kKeyReleased) || k.vkCode == kVkDigit5;
}

bool SwallowedWhenIdle(const KeyEvent& k, bool opened) {
    return (k.vkCode == kVkSemicolon && k.scanCode == kScanSemicolon && k.flags == 0) ||
           (opened && k.vkCode != kVkSemicolon);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    std::uint32_t time = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24;
    const std::int16_t prefix = static_cast<std::int16_t>(data[4] % 6);
    fake::Cp1251CodePage cp;
    HookState state;
    int captures = 0, deliveries = 0;

    for (std::size_t at = 5; at + 6 <= size; at += 6) {
        const std::uint8_t* e = data + at;
        time += e[3];
        const bool own = e[4] & 1;
        const std::int32_t code = e[5] < 8 ? e[5] : 0;
        KeyEvent key{e[0], e[1], e[2], time, own ? static_cast<std::uint32_t>(kInjectedKeyTag) : 0};
        if (own)
            key.flags |= kKeyInjected;

        const HookState before = state;
        const HookDecision d = DecideKeyEvent(code, key, state, prefix, cp);
        const std::string what = "vk " + std::to_string(key.vkCode) + " scan " +
                                 std::to_string(key.scanCode) + " flags " +
                                 std::to_string(key.flags) + " code " + std::to_string(code);

        if (code != 0 || own) {
            FUZZ_CHECK(!d.Swallow && d.After.empty(), what);
            FUZZ_CHECK(state.Capturing == before.Capturing && state.EndSeen == before.EndSeen &&
                           state.CapturedCode == before.CapturedCode &&
                           SameKey(state.PrevKey, before.PrevKey),
                       "a key that is not a reader's changes nothing: " + what);
            continue;
        }
        if (before.Capturing && before.EndSeen) {
            if (key.flags == kKeyReleased) {
                FUZZ_CHECK(!state.Capturing && !state.EndSeen, "the release ends it: " + what);
                FUZZ_CHECK(!d.Swallow, "the ending release goes on: " + what);
                const auto text = ApplyPrefix(prefix, before.CapturedCode);
                FUZZ_CHECK(d.After.size() == (text ? 1u : 0u), what);
                if (text) {
                    FUZZ_CHECK(d.After[0].kind == HookAction::Kind::Deliver &&
                                   d.After[0].Text == *text,
                               Printable(d.After[0].Text));
                    ++deliveries;
                }
            } else {
                FUZZ_CHECK(state.Capturing && state.EndSeen && d.Swallow && d.After.empty(),
                           "after Enter every key but a release is swallowed: " + what);
                FUZZ_CHECK(state.CapturedCode == before.CapturedCode, what);
            }
            continue;
        }
        if (before.Capturing) {
            FUZZ_CHECK(state.Capturing, "no capture ends before its Enter: " + what);
            FUZZ_CHECK(state.EndSeen == (key.vkCode == kVkEnter && key.flags == 0), what);
            FUZZ_CHECK(d.After.empty(), what);
            const bool shiftRelease = key.vkCode == kVkLeftShift && key.flags == kKeyReleased;
            FUZZ_CHECK(d.Swallow == !shiftRelease, "a capture swallows its keys: " + what);
            const std::size_t grew = state.CapturedCode.size() - before.CapturedCode.size();
            FUZZ_CHECK(state.CapturedCode.starts_with(before.CapturedCode) && grew <= 1, what);
            FUZZ_CHECK(grew == 0 || key.flags == kKeyReleased, "characters count on release");
            continue;
        }
        // Idle.
        FUZZ_CHECK(!state.EndSeen, what);
        if (state.Capturing) {
            FUZZ_CHECK(MayOpen(key), "only an opening opens a capture: " + what);
            FUZZ_CHECK(state.CapturedCode.empty(), what);
            ++captures;
        }
        FUZZ_CHECK(d.Swallow == SwallowedWhenIdle(key, state.Capturing), what);
        for (const auto& action : d.After)
            FUZZ_CHECK(action.kind == HookAction::Kind::TypeSemicolon && action.Text == L";" &&
                           key.vkCode == kVkSemicolon && !state.Capturing,
                       "only a plain semicolon release types one: " + what);
    }
    FUZZ_CHECK(deliveries <= captures + 1, "one delivery per capture");
    return 0;
}
