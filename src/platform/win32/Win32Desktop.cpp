#include "Win32Desktop.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace corv::win32 {
namespace {

HWND ToHwnd(Desktop::Window w) {
    return reinterpret_cast<HWND>(w);
}

// Answers the calls other threads make into this one (a low-level keyboard hook of this thread
// sees the injected keys that way), without dispatching posted messages.
void AnswerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void Pause(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_SENDMESSAGE);
    AnswerSentMessages();
}

bool HasFocus(HWND window) {
    if (GetForegroundWindow() != window)
        return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr;
}

INPUT KeyEvent(WORD vk, WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    in.ki.dwExtraInfo = static_cast<ULONG_PTR>(kInjectedKeyTag);
    return in;
}

void AppendCharacter(std::vector<INPUT>& events, wchar_t c) {
    if (c == L'\r') {
        // The real Enter key, not a character.
        const auto scan = static_cast<WORD>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC));
        events.push_back(KeyEvent(VK_RETURN, scan, 0));
        events.push_back(KeyEvent(VK_RETURN, scan, KEYEVENTF_KEYUP));
        return;
    }
    const auto unit = static_cast<WORD>(c);
    events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE));
    events.push_back(KeyEvent(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
}

// Gives the keys time to reach the focused window's thread, then waits until that thread
// answers a message (it has returned to its message loop), at most timeoutMs in all.
void WaitUntilProcessed(int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    Pause(1);
    HWND target = GetForegroundWindow();
    if (!target)
        return;
    for (int round = 0; round < 2; ++round) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                 static_cast<UINT>(deadline - now), &result))
            return; // hung or gone: give up rather than hang the caller
    }
    AnswerSentMessages();
}

} // namespace

Desktop::Window Win32Desktop::FindTopLevelWindow(const std::wstring& title) {
    return reinterpret_cast<Window>(FindWindowW(nullptr, title.c_str()));
}

bool Win32Desktop::SetForeground(Window window) {
    return window != 0 && SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::WaitUntilFocused(Window window, int timeoutMs) {
    const HWND hwnd = ToHwnd(window);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0));
    for (;;) {
        if (HasFocus(hwnd))
            return true;
        if (GetTickCount64() >= deadline || !IsWindow(hwnd))
            return false;
        Pause(5);
    }
}

void Win32Desktop::TypeText(const std::wstring& text, bool waitUntilProcessed) {
    std::vector<INPUT> events;
    for (std::size_t start = 0; start < text.size(); start += kBatchChars) {
        const std::size_t end = std::min(text.size(), start + kBatchChars);
        events.clear();
        for (std::size_t i = start; i < end; ++i)
            AppendCharacter(events, text[i]);
        SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        if (waitUntilProcessed)
            WaitUntilProcessed(kProcessedWaitMs);
        else
            AnswerSentMessages();
    }
}

} // namespace corv::win32
