// Typing into a window whose thread answers no message (the typing itself is seen end to end).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/Win32Desktop.h"

using namespace corv;
using namespace corv::win32;

TEST(Win32Desktop, TypingIntoAHungWindowReturnsWhileItStillHangs) {
    static std::atomic<bool> asleep{false};
    const std::wstring title = L"Corv hung test " + std::to_wstring(GetCurrentProcessId());
    // The window stays until the process ends: under Wine hiding a foreground window costs seconds.
    std::thread([title] {
        const HWND frame =
            CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                            300, 200, nullptr, nullptr, nullptr, nullptr);
        const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 280, 150,
                                          frame, nullptr, nullptr, nullptr);
        SetForegroundWindow(frame);
        SetFocus(edit);
        asleep = true;
        Sleep(8000); // answers no message meanwhile
        asleep = false;
    }).detach();
    for (int i = 0; i < 1000 && !asleep; ++i)
        Sleep(5);
    ASSERT_TRUE(asleep.load());
    Win32Desktop desktop;
    const auto target = desktop.FindTopLevelWindow(title);
    ASSERT_NE(target, 0u);
    desktop.SetForeground(target);
    desktop.WaitUntilFocused(target, 500);
    desktop.TypeText(L"abc\r", true);
    EXPECT_TRUE(asleep.load());
}
