// Finding, activating and typing into a window of this process with the real API.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/Win32Desktop.h"

using namespace corv;
using namespace corv::win32;

namespace {

int g_tagged = 0;
int g_untagged = 0;

LRESULT CALLBACK CountKeys(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        (k->dwExtraInfo == kInjectedKeyTag ? g_tagged : g_untagged)++;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The windows stay until the process ends: under Wine hiding a foreground window costs seconds.
struct TestWindow {
    HWND frame = nullptr;
    HWND edit = nullptr;
    explicit TestWindow(const wchar_t* title) {
        frame = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
        edit = CreateWindowExW(
            0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
            5, 5, 280, 150, frame, nullptr, nullptr, nullptr);
    }
    std::wstring Text() const {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }
};

// Processes this thread's messages until the edit box holds the text or time runs out.
bool PumpUntil(const TestWindow& w, const std::wstring& expected, DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (GetTickCount64() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (w.Text() == expected)
            return true;
        Sleep(5);
    }
    return false;
}

} // namespace

TEST(Win32Desktop, FindsWindowsByTheirExactTitle) {
    const std::wstring title = L"Corv desktop test " + std::to_wstring(GetCurrentProcessId());
    TestWindow w(title.c_str());
    Win32Desktop desktop;
    EXPECT_EQ(desktop.FindTopLevelWindow(title), reinterpret_cast<Desktop::Window>(w.frame));
    EXPECT_EQ(desktop.FindTopLevelWindow(title + L"x"), 0u);
    EXPECT_FALSE(desktop.SetForeground(0));
}

TEST(Win32Desktop, TypesEveryCharacterLiterallyAndEnterAsTheKey) {
    const std::wstring title = L"Corv typing test " + std::to_wstring(GetCurrentProcessId());
    TestWindow other(L"Corv other window");
    TestWindow w(title.c_str());
    Win32Desktop desktop;
    const auto target = desktop.FindTopLevelWindow(title);
    ASSERT_NE(target, 0u);
    ASSERT_TRUE(desktop.SetForeground(reinterpret_cast<Desktop::Window>(other.frame)));
    EXPECT_FALSE(desktop.WaitUntilFocused(target, 50));

    ASSERT_TRUE(desktop.SetForeground(target));
    SetFocus(w.edit);
    EXPECT_TRUE(desktop.WaitUntilFocused(target, 500));

    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, CountKeys, GetModuleHandleW(nullptr), 0);
    g_tagged = g_untagged = 0;
    desktop.TypeText(L"+^%~(){}[]Жa\r9", true);
    EXPECT_TRUE(PumpUntil(w, L"+^%~(){}[]Жa\r\n9", 3000)) << w.Text().size();
    if (hook) {
        EXPECT_EQ(g_tagged, 28); // a press and a release per character
        EXPECT_EQ(g_untagged, 0);
        UnhookWindowsHookEx(hook);
    }
}

TEST(Win32Desktop, LongTextsArriveWhole) {
    const std::wstring title = L"Corv long test " + std::to_wstring(GetCurrentProcessId());
    TestWindow w(title.c_str());
    SendMessageW(w.edit, EM_SETLIMITTEXT, 0, 0);
    Win32Desktop desktop;
    ASSERT_TRUE(desktop.SetForeground(desktop.FindTopLevelWindow(title)));
    SetFocus(w.edit);
    std::wstring text;
    for (int i = 0; i < 1200; ++i)
        text.push_back(static_cast<wchar_t>(L'0' + i % 10));
    desktop.TypeText(text, true);
    EXPECT_TRUE(PumpUntil(w, text, 10000)) << w.Text().size();
}

TEST(Win32Desktop, TypingIntoAHungWindowStillReturns) {
    static std::atomic<bool> asleep{false};
    static HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::wstring title = L"Corv hung test " + std::to_wstring(GetCurrentProcessId());
    std::thread([title] {
        TestWindow w(title.c_str());
        SetForegroundWindow(w.frame);
        SetFocus(w.edit);
        asleep = true;
        SetEvent(ready);
        Sleep(8000); // answers no message meanwhile
        asleep = false;
    }).detach();
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    Win32Desktop desktop;
    const auto target = desktop.FindTopLevelWindow(title);
    ASSERT_NE(target, 0u);
    desktop.SetForeground(target);
    desktop.WaitUntilFocused(target, 500);
    desktop.TypeText(L"abc\r", true);
    EXPECT_TRUE(asleep.load()); // returned while the window's thread was still not answering
}

TEST(Win32Desktop, AMinimisedWindowIsRestoredAndAHeldCtrlIsLetGoBeforeTheCode) {
    const std::wstring title = L"Corv plain test " + std::to_wstring(GetCurrentProcessId());
    TestWindow w(title.c_str());
    Win32Desktop desktop;
    const auto target = desktop.FindTopLevelWindow(title);
    ShowWindow(w.frame, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(w.frame));
    EXPECT_TRUE(desktop.RestoreIfMinimised(target));
    EXPECT_FALSE(IsIconic(w.frame));
    EXPECT_FALSE(desktop.RestoreIfMinimised(target));
    ASSERT_TRUE(desktop.SetForeground(target));
    SetFocus(w.edit);
    ASSERT_TRUE(desktop.WaitUntilFocused(target, 500));

    INPUT ctrl{};
    ctrl.type = INPUT_KEYBOARD;
    ctrl.ki.wVk = VK_LCONTROL;
    ASSERT_EQ(SendInput(1, &ctrl, sizeof ctrl), 1u);
    const std::vector<int> held = desktop.WaitForModifiersUp(100);
    EXPECT_EQ(held, std::vector<int>{VK_LCONTROL});
    // Held, Ctrl+A would select and Ctrl+Enter type a line feed.
    EXPECT_TRUE(desktop.TypeCode(L"ab\r", held));
    EXPECT_TRUE(PumpUntil(w, L"ab\r\n", 3000)) << w.Text().size();
    EXPECT_TRUE(desktop.WaitForModifiersUp(0).empty());
}
