#include "KeyboardHook.h"

#include <stdexcept>
#include <string>

namespace corv::win32 {
namespace {

// The system calls a low-level hook without a context pointer; the program has one keyboard
// reader, and this is it.
KeyboardHook* g_reader = nullptr;

KeyEvent CopyKeyRecord(const KBDLLHOOKSTRUCT& raw) {
    KeyEvent e;
    e.vkCode = raw.vkCode;
    e.scanCode = raw.scanCode;
    e.flags = raw.flags;
    e.time = raw.time;
    // A value wider than 32 bits is somebody else's and must not pass for the program's tag.
    e.dwExtraInfo =
        raw.dwExtraInfo <= 0xFFFFFFFFu ? static_cast<std::uint32_t>(raw.dwExtraInfo) : 0u;
    return e;
}

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const LocalMemory buffer(text);
    std::wstring message = n ? std::wstring(text, n) : L"";
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return L"error " + std::to_wstring(error) + (message.empty() ? L"" : L": " + message);
}

} // namespace

KeyboardHook::KeyboardHook(const AppSettings& settings, const CodePage& codePage,
                           CodeDelivery& delivery)
    : settings_(settings), codePage_(codePage), delivery_(delivery) {
    static const ATOM windowClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &KeyboardHook::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorvanthelixKeyboardReader";
        return RegisterClassW(&wc);
    }();
    window_.reset(CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        throw std::runtime_error("the keyboard reader's window could not be created");
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    g_reader = this;
}

LRESULT CALLBACK KeyboardHook::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == kHookActionsMessage || msg == WM_TIMER) {
        if (auto* reader = reinterpret_cast<KeyboardHook*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            msg == WM_TIMER ? reader->OnTimer(wp) : reader->RunPendingActions();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

KeyboardHook::~KeyboardHook() {
    RemoveKeyboardHook();
    if (g_reader == this)
        g_reader = nullptr;
}

bool KeyboardHook::InstallKeyboardHook() {
    g_reader = this;
    if (hook_)
        return true;
    HHOOK hook =
        installer_(WH_KEYBOARD_LL, &KeyboardHook::KeyboardHookProc, GetModuleHandleW(nullptr), 0);
    if (!hook) {
        Note(L"the keyboard hook could not be installed (" + SystemMessage(GetLastError()) + L")");
        return false;
    }
    hook_.reset(hook);
    ResetState();
    lastHeartbeat_ = GetTickCount64();
    heartbeat_ = StartTimer(window_.get(), kHeartbeatTimer, kHeartbeatMs);
    return true;
}

void KeyboardHook::RemoveKeyboardHook() {
    if (!hook_)
        return;
    hook_.reset();
    heartbeat_.reset();
    ResetState();
}

void KeyboardHook::Reinstall(const std::wstring& why) {
    if (!hook_)
        return;
    HHOOK hook =
        installer_(WH_KEYBOARD_LL, &KeyboardHook::KeyboardHookProc, GetModuleHandleW(nullptr), 0);
    if (!hook) {
        Note(L"the keyboard hook could not be reinstalled after " + why + L" (" +
             SystemMessage(GetLastError()) + L"); the installed one stays");
        return;
    }
    hook_.reset(hook); // the new hook is in place before the old one goes
    ++reinstalls_;
    Note(L"the keyboard hook was reinstalled after " + why);
    ResetState();
}

void KeyboardHook::ResetState() noexcept {
    try {
        queue_.Add(ResetHookState(state_).After);
    } catch (...) {
        state_ = HookState{};
    }
    silence_.reset();
    RunPendingActions();
}

void KeyboardHook::Note(const std::wstring& text) noexcept {
    try {
        lastRecord_ = text;
        // In the ANSI form, which every debugger shows.
        const std::wstring line = L"Corvanthelix: " + text + L"\n";
        std::string ansi(line.size() * 2 + 1, '\0');
        const int n = WideCharToMultiByte(CP_ACP, 0, line.c_str(), -1, ansi.data(),
                                          static_cast<int>(ansi.size()), nullptr, nullptr);
        if (n > 0)
            OutputDebugStringA(ansi.c_str());
    } catch (...) {
    }
}

void KeyboardHook::ArmSilence() noexcept {
    // The callback only notes the time (no call into the system): the timer, set once when the
    // wait begins, looks at it when it fires and waits on for what is left of the silence.
    lastKeyTick_ = GetTickCount64();
    if (AwaitsSilence(state_) && !silence_)
        silence_ = StartTimer(window_.get(), kSilenceTimer, kSilenceMs);
}

void KeyboardHook::OnTimer(UINT_PTR id) noexcept {
    if (id == kSilenceTimer) {
        const ULONGLONG quiet = GetTickCount64() - lastKeyTick_;
        if (AwaitsSilence(state_) && quiet < kSilenceMs) {
            silence_ =
                StartTimer(window_.get(), kSilenceTimer, static_cast<UINT>(kSilenceMs - quiet));
            return;
        }
        silence_.reset();
        try {
            queue_.Add(DecideSilence(state_).After);
        } catch (...) {
        }
        // Keys just given back are waited for in turn.
        ArmSilence();
        RunPendingActions();
    } else if (id == kHeartbeatTimer) {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG late = now - lastHeartbeat_;
        lastHeartbeat_ = now;
        if (late > kHeartbeatMs + kStallMs) {
            try {
                Reinstall(L"the program was stalled for " + std::to_wstring(late) + L" ms");
            } catch (...) {
            }
        }
    }
}

void KeyboardHook::GiveBack(const std::vector<KeyEvent>& keys) {
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        KEYBDINPUT& k = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        // Keys typed as characters by other programs go back the same way.
        if (keys[i].vkCode == VK_PACKET) {
            k.wScan = static_cast<WORD>(keys[i].scanCode);
            k.dwFlags = KEYEVENTF_UNICODE;
        } else {
            k.wVk = static_cast<WORD>(keys[i].vkCode);
            k.wScan = static_cast<WORD>(keys[i].scanCode);
            k.dwFlags = (keys[i].flags & kKeyExtended) ? KEYEVENTF_EXTENDEDKEY : 0;
        }
        if (keys[i].flags & kKeyReleased)
            k.dwFlags |= KEYEVENTF_KEYUP;
        k.dwExtraInfo = kInjectedKeyTag;
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        // What the system refused will not come through the hook: no key may wait for it.
        state_.Returning.clear();
        Note(L"keys could not be given back (" + SystemMessage(GetLastError()) + L")");
    }
}

LRESULT CALLBACK KeyboardHook::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (KeyboardHook* reader = g_reader)
        return reader->OnKeyEvent(code, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT KeyboardHook::OnKeyEvent(int code, WPARAM wParam, LPARAM lParam) noexcept {
    bool swallow = false;
    bool post = false;
    // Only a key event (code 0) carries a record; any other code is passed on untouched.
    if (code == HC_ACTION && lParam != 0) {
        const KeyEvent key = CopyKeyRecord(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
        try {
            HookDecision decision = DecideKeyEvent(code, key, state_, settings_.Prefix, codePage_);
            swallow = decision.Swallow;
            post = queue_.Add(std::move(decision.After));
        } catch (...) {
            // Out of memory at worst: the key goes on as if the hook were not there.
        }
        if (key.dwExtraInfo != kInjectedKeyTag)
            ArmSilence();
    }
    const LRESULT result = swallow ? 1 : CallNextHookEx(hook_.get(), code, wParam, lParam);
    if (post)
        PostMessageW(window_.get(), kHookActionsMessage, 0, 0);
    return result;
}

void KeyboardHook::RunPendingActions() noexcept {
    try {
        queue_.RunPending(delivery_, *this);
    } catch (...) {
    }
}

} // namespace corv::win32
