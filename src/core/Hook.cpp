#include "core/Hook.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "common/ScopeGuard.h"

namespace corv {
namespace {

// The millisecond counter wraps; the difference taken without sign stays right across the wrap.
bool WithinOpeningWindow(const KeyEvent& earlier, const KeyEvent& later) {
    return later.time - earlier.time <= kOpeningWindowMs;
}

bool Is(const KeyEvent& key, std::uint32_t vk, std::uint32_t scan) {
    return key.vkCode == vk && key.scanCode == scan;
}
bool IsPress(const KeyEvent& key) {
    return (key.flags & kKeyReleased) == 0;
}
bool IsSemicolonPress(const KeyEvent& key) {
    return Is(key, kVkSemicolon, kScanSemicolon) && key.flags == 0;
}
bool IsLeftShiftPress(const KeyEvent& key) {
    return Is(key, kVkLeftShift, kScanLeftShift) && IsPress(key);
}
bool IsOwn(const KeyEvent& key) {
    return (key.flags & kKeyInjected) != 0 && key.dwExtraInfo == kInjectedKeyTag;
}

// Follows what the application has been given: which of its keys are down.
void Reaches(HookState& state, const KeyEvent& key) {
    if (key.vkCode < state.DownInApp.size())
        state.DownInApp[key.vkCode] = IsPress(key);
}

HookDecision Swallow() {
    return HookDecision{true, {}};
}
HookDecision PassOn() {
    return HookDecision{false, {}};
}

// Gives keys back after what the decision already gives back and before any delivery, so that
// the application receives everything in the order it was typed.
void GiveBack(HookDecision& decision, HookState& state, const std::vector<KeyEvent>& keys) {
    if (keys.empty())
        return;
    auto& after = decision.After;
    auto at = std::find_if(after.begin(), after.end(),
                           [](const HookAction& a) { return a.kind == HookAction::Kind::Deliver; });
    if (at != after.begin() && std::prev(at)->kind == HookAction::Kind::GiveBack)
        std::prev(at)->Keys.insert(std::prev(at)->Keys.end(), keys.begin(), keys.end());
    else
        after.insert(at, HookAction{HookAction::Kind::GiveBack, {}, keys});
    state.Returning.insert(state.Returning.end(), keys.begin(), keys.end());
    for (const KeyEvent& k : keys)
        Reaches(state, k);
    while (state.Returning.size() > kMaxHeldKeyEvents)
        state.Returning.pop_front();
}

void EndCapture(HookState& state) {
    state.Capturing = false;
    state.EndSeen = false;
    state.CapturedCode.clear();
    state.Held.clear();
}

// Not a reader's after all: everything held goes back as it was typed.
void GiveBackHeld(HookDecision& decision, HookState& state) {
    const std::vector<KeyEvent> held = std::move(state.Held);
    state.Deciding = false;
    EndCapture(state);
    GiveBack(decision, state, held);
}

void StartCapture(HookState& state, std::vector<KeyEvent> opening) {
    state.Capturing = true;
    state.CapturedCode.clear();
    state.Held = std::move(opening);
}

// Forgets the key of an opening, so that its release is not collected.
void ForgetPrevKey(HookState& state) {
    state.PrevKey.scanCode = 0;
    state.PrevKey.vkCode = 0;
    state.PrevKey.time = 0;
}

// Keypad digits are their digits; any other key code is read as a byte of the 8-bit code page
// (digits and capital letters are their own key codes).
void AppendKeyCharacter(HookState& state, std::uint32_t vkCode, const CodePage& codePage) {
    if (vkCode >= kVkNumpad0 && vkCode <= kVkNumpad9) {
        state.CapturedCode += static_cast<wchar_t>(L'0' + (vkCode - kVkNumpad0));
        return;
    }
    if (vkCode > 0xFF)
        return;
    const char byte = static_cast<char>(vkCode);
    state.CapturedCode += codePage.FromAnsi(std::string_view(&byte, 1));
}

HookDecision WhileCapturing(HookState& state, const KeyEvent& last, std::int16_t prefix,
                            const CodePage& codePage) {
    const KeyEvent& cur = state.CurKey;
    HookDecision decision = Swallow();
    state.Held.push_back(cur);
    if (state.EndSeen) {
        // The first release after Enter ends the capture (the keypad's Enter releases as an
        // extended key); the release itself goes on.
        const bool ends = cur.flags == kKeyReleased ||
                          (cur.vkCode == kVkEnter && cur.flags == (kKeyReleased | kKeyExtended));
        if (!ends) {
            if (state.Held.size() > kMaxHeldKeyEvents)
                GiveBackHeld(decision, state);
            return decision;
        }
        state.Held.pop_back();
        decision.Swallow = false;
        // A key that went down in the application before the burst (the left Shift of a
        // percent-sign opening, a modifier a person holds) comes up there too, or the
        // application would go on seeing it held.
        std::vector<KeyEvent> ups;
        for (const KeyEvent& k : state.Held) {
            if (!IsPress(k) && k.vkCode < state.DownInApp.size() && state.DownInApp[k.vkCode]) {
                ups.push_back(k);
                state.DownInApp[k.vkCode] = false;
            }
        }
        GiveBack(decision, state, ups);
        const auto text = ApplyPrefix(prefix, state.CapturedCode);
        EndCapture(state);
        if (text)
            decision.After.push_back({HookAction::Kind::Deliver, *text, {}});
        return decision;
    }
    // A press repeating the one before is a key held down by a person; a reader taps its keys.
    if (cur.flags == 0 && last.flags == 0 && last.vkCode == cur.vkCode) {
        GiveBackHeld(decision, state);
        return decision;
    }
    if (cur.flags == 0)
        state.PrevKey = cur;
    if (cur.vkCode == kVkEnter && (cur.flags == 0 || cur.flags == kKeyExtended))
        state.EndSeen = true;
    // A character counts on its release, and only when its press was the last plain press.
    if (cur.flags == kKeyReleased && state.PrevKey.vkCode == cur.vkCode)
        AppendKeyCharacter(state, cur.vkCode, codePage);
    if (state.CapturedCode.size() > kMaxCaptureCharacters || state.Held.size() > kMaxHeldKeyEvents)
        GiveBackHeld(decision, state);
    return decision;
}

HookDecision WhileIdle(HookState& state, const KeyEvent& last) {
    const KeyEvent& cur = state.CurKey;
    if (IsSemicolonPress(cur)) {
        // A held key repeats its press: only a fresh press may be a reader's tap.
        if (IsSemicolonPress(last))
            return PassOn();
        state.Deciding = true;
        state.Held = {cur};
        return Swallow();
    }
    if (cur.vkCode == kVkRightShift && cur.flags == kKeyExtended &&
        cur.scanCode != kScanRightShift) {
        StartCapture(state, {cur});
        state.PrevKey = cur;
        return Swallow();
    }
    if (cur.vkCode == kVkReaderStart) {
        StartCapture(state, {cur});
        return Swallow();
    }
    if (IsLeftShiftPress(cur)) {
        // A held Shift repeats its press; the time counts from the first one.
        if (!IsLeftShiftPress(last))
            state.PrevKey = cur;
        return PassOn();
    }
    // A machine's percent sign: the 5 key pressed right after the left Shift went down.
    if (cur.vkCode == kVkDigit5 && IsPress(cur) && IsLeftShiftPress(last) &&
        IsLeftShiftPress(state.PrevKey) && WithinOpeningWindow(state.PrevKey, cur)) {
        ForgetPrevKey(state);
        StartCapture(state, {cur});
        return Swallow();
    }
    return PassOn();
}

// A semicolon press is held. A reader's opening is its release within the window, with nothing
// in between; anything else shows it is a person's key.
HookDecision WhileDeciding(HookState& state, const KeyEvent& last) {
    const KeyEvent& cur = state.CurKey;
    const KeyEvent press = state.Held.front();
    if (cur.vkCode == kVkSemicolon && cur.flags == kKeyReleased &&
        WithinOpeningWindow(press, cur)) {
        state.Deciding = false;
        ForgetPrevKey(state);
        StartCapture(state, {press, cur});
        return Swallow();
    }
    HookDecision decision = PassOn();
    GiveBackHeld(decision, state);
    HookDecision next = WhileIdle(state, last);
    decision.Swallow = next.Swallow;
    return decision;
}

} // namespace

HookDecision DecideKeyEvent(std::int32_t code, const KeyEvent& key, HookState& state,
                            std::int16_t prefix, const CodePage& codePage) {
    if (code != 0)
        return PassOn();
    // The program's own keys (a delivered code, keys given back) are never a reader's; keys
    // given back are ticked off as they come through.
    if (IsOwn(key)) {
        if (!state.Returning.empty() && state.Returning.front().vkCode == key.vkCode)
            state.Returning.pop_front();
        return PassOn();
    }
    const KeyEvent last = state.CurKey;
    state.CurKey = key;
    HookDecision decision = state.Deciding    ? WhileDeciding(state, last)
                            : state.Capturing ? WhileCapturing(state, last, prefix, codePage)
                                              : WhileIdle(state, last);
    if (!decision.Swallow && !state.Returning.empty()) {
        decision.Swallow = true;
        GiveBack(decision, state, {key});
    }
    if (!decision.Swallow)
        Reaches(state, key);
    return decision;
}

HookDecision DecideSilence(HookState& state) {
    HookDecision decision;
    // Keys given back so long ago have come through, or never will: stop waiting for them.
    state.Returning.clear();
    if (state.Deciding || state.Capturing)
        GiveBackHeld(decision, state);
    return decision;
}

bool AwaitsSilence(const HookState& state) {
    return state.Deciding || state.Capturing || !state.Returning.empty();
}

HookDecision ResetHookState(HookState& state) {
    HookDecision decision = DecideSilence(state);
    state = HookState{};
    return decision;
}

bool HookActionQueue::Add(std::vector<HookAction>&& actions) {
    const bool added = !actions.empty();
    for (auto& action : actions) {
        // Keys given back one after another go out together.
        if (action.kind == HookAction::Kind::GiveBack && !pending_.empty() &&
            pending_.back().kind == HookAction::Kind::GiveBack) {
            auto& keys = pending_.back().Keys;
            keys.insert(keys.end(), action.Keys.begin(), action.Keys.end());
        } else {
            pending_.push_back(std::move(action));
        }
    }
    actions.clear();
    return added;
}

void HookActionQueue::RunPending(CodeDelivery& delivery, KeyInjector& injector) {
    if (running_)
        return;
    running_ = true;
    const ScopeGuard done([this] { running_ = false; });
    while (!pending_.empty()) {
        HookAction action = std::move(pending_.front());
        pending_.pop_front();
        try {
            if (action.kind == HookAction::Kind::Deliver)
                delivery.DeliverCode(action.Text);
            else
                injector.GiveBack(action.Keys);
        } catch (...) {
            // A failed delivery loses only its own code; the next ones still go out.
        }
    }
}

} // namespace corv
