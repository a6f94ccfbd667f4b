#include "core/Hook.h"

#include <string_view>

namespace corv {
namespace {

// The millisecond counter wraps; the difference taken without sign stays right across the wrap.
bool WithinOpeningWindow(const KeyEvent& earlier, const KeyEvent& later) {
    return later.time - earlier.time <= kOpeningWindowMs;
}

bool Is(const KeyEvent& key, std::uint32_t vk, std::uint32_t scan) {
    return key.vkCode == vk && key.scanCode == scan;
}

void StartCapture(HookState& state) {
    state.Capturing = true;
    state.CapturedCode.clear();
}

// Forgets the key of an opening, so that its release is not collected.
void ForgetPrevKey(HookState& state) {
    state.PrevKey.scanCode = 0;
    state.PrevKey.vkCode = 0;
    state.PrevKey.time = 0;
}

// The key code read as a byte of the 8-bit code page (digits and capital letters are their own
// key codes).
void AppendKeyCharacter(HookState& state, std::uint32_t vkCode, const CodePage& codePage) {
    if (vkCode > 0xFF)
        return;
    const char byte = static_cast<char>(vkCode);
    state.CapturedCode += codePage.FromAnsi(std::string_view(&byte, 1));
}

HookDecision Swallow() {
    return HookDecision{true, {}};
}
HookDecision PassOn() {
    return HookDecision{false, {}};
}

HookDecision WhileCapturing(HookState& state, std::int16_t prefix, const CodePage& codePage) {
    const KeyEvent& cur = state.CurKey;
    if (state.EndSeen) {
        if (cur.flags != kKeyReleased)
            return Swallow();
        // The first release after Enter ends the capture; the release itself goes on.
        state.EndSeen = false;
        state.Capturing = false;
        HookDecision decision = PassOn();
        if (auto text = ApplyPrefix(prefix, state.CapturedCode))
            decision.After.push_back({HookAction::Kind::Deliver, std::move(*text)});
        state.CapturedCode.clear();
        return decision;
    }
    if (cur.flags == 0)
        state.PrevKey = cur;
    if (cur.vkCode == kVkEnter && cur.flags == 0)
        state.EndSeen = true;
    // A character counts on its release, and only when its press was the last plain press.
    if (cur.flags == kKeyReleased && state.PrevKey.vkCode == cur.vkCode)
        AppendKeyCharacter(state, cur.vkCode, codePage);
    // The left Shift that began a percent-sign opening went down in the application; its
    // release goes there too, or the application would go on typing shifted characters.
    if (cur.vkCode == kVkLeftShift && cur.flags == kKeyReleased)
        return PassOn();
    return Swallow();
}

bool IsSemicolonPress(const KeyEvent& key) {
    return Is(key, kVkSemicolon, kScanSemicolon) && key.flags == 0;
}

HookDecision WhileIdle(HookState& state, const KeyEvent& last) {
    const KeyEvent& cur = state.CurKey;
    HookDecision decision = PassOn();

    if (IsSemicolonPress(cur)) {
        // A held key repeats its press; the time counts from the first one, so that holding the
        // semicolon never passes for a reader's quick tap.
        const bool repeat = IsSemicolonPress(last) && IsSemicolonPress(state.PrevKey);
        if (!repeat)
            state.PrevKey = cur;
        return Swallow();
    }
    if (cur.vkCode == kVkSemicolon && cur.flags == kKeyReleased) {
        if (WithinOpeningWindow(state.PrevKey, cur) &&
            Is(state.PrevKey, kVkSemicolon, kScanSemicolon)) {
            ForgetPrevKey(state);
            StartCapture(state);
        } else {
            // An ordinary semicolon: its press was held back, so it is typed now instead.
            decision.After.push_back({HookAction::Kind::TypeSemicolon, L";"});
        }
    }
    if (cur.vkCode == kVkRightShift && cur.flags == kKeyExtended &&
        cur.scanCode != kScanRightShift) {
        StartCapture(state);
        state.PrevKey = cur;
        return Swallow();
    }
    if (cur.vkCode == kVkReaderStart) {
        StartCapture(state);
        return Swallow();
    }
    if (Is(cur, kVkLeftShift, kScanLeftShift))
        state.PrevKey = cur;
    if (cur.vkCode == kVkDigit5 && WithinOpeningWindow(state.PrevKey, cur) &&
        Is(state.PrevKey, kVkLeftShift, kScanLeftShift)) {
        ForgetPrevKey(state);
        StartCapture(state);
        return Swallow();
    }
    return decision;
}

} // namespace

HookDecision DecideKeyEvent(std::int32_t code, const KeyEvent& key, HookState& state,
                            std::int16_t prefix, const CodePage& codePage) {
    if (code != 0)
        return PassOn();
    const KeyEvent last = state.CurKey;
    state.CurKey = key;
    // The program's own keystrokes (a delivered code, a retyped semicolon) are never a reader's.
    if ((key.flags & kKeyInjected) != 0 && key.dwExtraInfo == kInjectedKeyTag)
        return PassOn();
    if (state.Capturing)
        return WhileCapturing(state, prefix, codePage);
    return WhileIdle(state, last);
}

bool HookActionQueue::Add(std::vector<HookAction>&& actions) {
    for (auto& action : actions)
        pending_.push_back(std::move(action));
    return !actions.empty();
}

void HookActionQueue::RunPending(CodeDelivery& delivery, Desktop& desktop) {
    if (running_)
        return;
    running_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{running_};
    while (!pending_.empty()) {
        HookAction action = std::move(pending_.front());
        pending_.pop_front();
        try {
            if (action.kind == HookAction::Kind::Deliver)
                delivery.DeliverCode(action.Text);
            else
                desktop.TypeText(action.Text, false);
        } catch (...) {
            // A failed delivery loses only its own code; the next ones still go out.
        }
    }
}

} // namespace corv
