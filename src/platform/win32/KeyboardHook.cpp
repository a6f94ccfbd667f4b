#include "KeyboardHook.h"

#include <cstdio>
#include <stdexcept>

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

} // namespace

KeyboardHook::KeyboardHook(const AppSettings& settings, const CodePage& codePage,
                           CodeDelivery& delivery, Desktop& desktop)
    : settings_(settings), codePage_(codePage), delivery_(delivery), desktop_(desktop) {
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
    if (msg == kHookActionsMessage) {
        if (auto* reader = reinterpret_cast<KeyboardHook*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            reader->RunPendingActions();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

KeyboardHook::~KeyboardHook() {
    RemoveKeyboardHook();
    WriteCallbackTimes();
    if (g_reader == this)
        g_reader = nullptr;
}

void KeyboardHook::InstallKeyboardHook() {
    g_reader = this;
    HHOOK hook =
        installer_(WH_KEYBOARD_LL, &KeyboardHook::KeyboardHookProc, GetModuleHandleW(nullptr), 0);
    // The new hook replaces an installed one; when installing fails, the old one stays.
    if (hook)
        hook_.reset(hook);
}

void KeyboardHook::RemoveKeyboardHook() {
    hook_.reset();
}

LRESULT CALLBACK KeyboardHook::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (KeyboardHook* reader = g_reader)
        return reader->OnKeyEvent(code, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT KeyboardHook::OnKeyEvent(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const bool timed = !timesFile_.empty();
    LARGE_INTEGER entry{}, decided{}, exit{};
    if (timed)
        QueryPerformanceCounter(&entry);

    bool swallow = false;
    bool post = false;
    bool own = false;
    // Only a key event (code 0) carries a record; any other code is passed on untouched.
    if (code == HC_ACTION && lParam != 0) {
        try {
            const KeyEvent key = CopyKeyRecord(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
            own = key.dwExtraInfo == kInjectedKeyTag;
            HookDecision decision = DecideKeyEvent(code, key, state_, settings_.Prefix, codePage_);
            swallow = decision.Swallow;
            post = queue_.Add(std::move(decision.After));
        } catch (...) {
            // Out of memory at worst: the key goes on as if the hook were not there.
        }
    }
    if (timed)
        QueryPerformanceCounter(&decided);
    const LRESULT result = swallow ? 1 : CallNextHookEx(hook_.get(), code, wParam, lParam);
    if (post)
        PostMessageW(window_.get(), kHookActionsMessage, 0, 0);

    if (timed) {
        QueryPerformanceCounter(&exit);
        const double perMicrosecond = static_cast<double>(frequency_.QuadPart) / 1e6;
        if (times_.size() < times_.capacity())
            times_.push_back(
                {static_cast<double>(exit.QuadPart - entry.QuadPart) / perMicrosecond,
                 static_cast<double>(decided.QuadPart - entry.QuadPart) / perMicrosecond, own});
        if (times_.size() - timesWritten_ >= 100)
            PostMessageW(window_.get(), kHookActionsMessage, 0, 0);
    }
    return result;
}

void KeyboardHook::RunPendingActions() noexcept {
    try {
        queue_.RunPending(delivery_, desktop_);
    } catch (...) {
    }
    WriteCallbackTimes();
}

void KeyboardHook::RecordCallbackTimes(const std::wstring& file) {
    QueryPerformanceFrequency(&frequency_);
    times_.reserve(1'000'000);
    timesFile_ = file;
}

void KeyboardHook::WriteCallbackTimes() noexcept {
    if (timesFile_.empty() || timesWritten_ == times_.size())
        return;
    if (FILE* f = _wfopen(timesFile_.c_str(), L"ab")) {
        for (; timesWritten_ < times_.size(); ++timesWritten_)
            std::fprintf(f, "%.3f %.3f %s\n", times_[timesWritten_].total,
                         times_[timesWritten_].decision,
                         times_[timesWritten_].own ? "own" : "other");
        std::fclose(f);
    }
}

} // namespace corv::win32
