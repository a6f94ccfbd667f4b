#include "Win32Desktop.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Handles.h"

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

// The integrity level of a process (the last part of its mandatory label), or -1 when it cannot
// be read.
long IntegrityOf(HANDLE process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &opened))
        return -1;
    const KernelHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 ||
        !GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return -1;
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    return static_cast<long>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u));
}

// True when the window belongs to a process of a higher integrity level (one run as
// administrator): the system drops the keys injected into it, and SendInput need not say so.
bool OutranksThisProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    return process && IntegrityOf(process.get()) > IntegrityOf(GetCurrentProcess());
}

// A key-up of a held modifier, by its own side (the right-hand keys and the Windows keys are
// extended keys).
INPUT KeyUp(int vk) {
    const auto key = static_cast<WORD>(vk);
    DWORD flags = KEYEVENTF_KEYUP;
    if (vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN)
        flags |= KEYEVENTF_EXTENDEDKEY;
    return KeyEvent(key, static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), flags);
}

// An unassigned key that no program acts on.
constexpr WORD kMaskKey = 0xE8;

void AppendReleases(std::vector<INPUT>& events, const std::vector<int>& keys) {
    // Alt or a Windows key let go with nothing pressed since its press would open the window's
    // menu bar or the Start menu: a press of a key without meaning comes first.
    const bool mask = std::any_of(keys.begin(), keys.end(), [](int vk) {
        return vk == VK_LMENU || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
    });
    if (mask) {
        events.push_back(KeyEvent(kMaskKey, 0, 0));
        events.push_back(KeyEvent(kMaskKey, 0, KEYEVENTF_KEYUP));
    }
    for (int vk : keys)
        events.push_back(KeyUp(vk));
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

bool Win32Desktop::RestoreIfMinimised(Window window) {
    const HWND hwnd = ToHwnd(window);
    if (window == 0 || !IsIconic(hwnd))
        return false;
    ShowWindow(hwnd, SW_RESTORE);
    return true;
}

bool Win32Desktop::SetForeground(Window window) {
    const HWND hwnd = ToHwnd(window);
    if (window == 0 || !IsWindow(hwnd))
        return false;
    auto inFront = [hwnd] { return GetForegroundWindow() == hwnd; };
    if (SetForegroundWindow(hwnd) && inFront())
        return true;
    // The system lets the process that received the last input event set the foreground: an
    // input event without a key (virtual key 0) makes this process that one, and changes
    // nothing else.
    INPUT nothing = KeyEvent(0, 0, 0);
    SendInput(1, &nothing, sizeof nothing);
    AnswerSentMessages();
    if (SetForegroundWindow(hwnd) && inFront())
        return true;
    // Last, share the input state of the foreground window's thread for the call.
    const DWORD self = GetCurrentThreadId();
    const DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (front != 0 && front != self && AttachThreadInput(self, front, TRUE)) {
        SetForegroundWindow(hwnd);
        BringWindowToTop(hwnd);
        AttachThreadInput(self, front, FALSE);
    }
    return inFront();
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

std::vector<int> Win32Desktop::WaitForModifiersUp(int timeoutMs) {
    static constexpr int kModifiers[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                                         VK_LMENU,  VK_RMENU,  VK_LWIN,     VK_RWIN};
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0));
    std::vector<int> held;
    for (;;) {
        held.clear();
        for (int vk : kModifiers)
            if (GetAsyncKeyState(vk) & 0x8000)
                held.push_back(vk);
        if (held.empty() || GetTickCount64() >= deadline)
            return held;
        Pause(10);
    }
}

void Win32Desktop::TypeText(const std::wstring& text, bool waitUntilProcessed) {
    Type(text, waitUntilProcessed, {});
}

bool Win32Desktop::TypeCode(const std::wstring& text, const std::vector<int>& releaseFirst) {
    if (const HWND front = GetForegroundWindow(); front && OutranksThisProcess(front))
        return false;
    return Type(text, true, releaseFirst);
}

bool Win32Desktop::Type(const std::wstring& text, bool waitUntilProcessed,
                        const std::vector<int>& releaseFirst) {
    std::vector<INPUT> events;
    AppendReleases(events, releaseFirst);
    std::size_t start = 0;
    do {
        const std::size_t end = std::min(text.size(), start + kBatchChars);
        for (std::size_t i = start; i < end; ++i)
            AppendCharacter(events, text[i]);
        if (!events.empty()) {
            const UINT given = static_cast<UINT>(events.size());
            if (SendInput(given, events.data(), sizeof(INPUT)) != given)
                return false; // refused (another integrity level, a locked workstation)
            if (waitUntilProcessed)
                WaitUntilProcessed(kProcessedWaitMs);
            else
                AnswerSentMessages();
        }
        events.clear();
        start = end;
    } while (start < text.size());
    return true;
}

} // namespace corv::win32
