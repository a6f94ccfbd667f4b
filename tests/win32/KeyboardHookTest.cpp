// What the end-to-end tests cannot bring about: a refused keyboard hook, a hung target window.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Desktop.h"

using namespace corv;
using namespace corv::win32;

static HHOOK WINAPI Refuse(int, HOOKPROC, HINSTANCE, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

// Key code 2 opens a capture whatever its flags (seen by the hook), given back after a silence.
static bool Sees(KeyboardHook& hook, ULONG_PTR extraInfo = 0) {
    INPUT in[2]{{INPUT_KEYBOARD, {.ki = {2, 0, 0, 0, extraInfo}}},
                {INPUT_KEYBOARD, {.ki = {2, 0, KEYEVENTF_KEYUP, 0, extraInfo}}}};
    SendInput(2, in, sizeof(INPUT));
    RunMessages(nullptr, nullptr, 300);
    const bool seen = hook.State().Capturing;
    return RunMessages(
               nullptr, [&] { return !hook.State().Capturing; }, 3000),
           seen;
}

TEST(KeyboardHook, ARefusedHookIsOnRecordAndARefusedReinstallKeepsTheHookInPlace) {
    AppSettings settings;
    AnsiCodePage codePage;
    struct : CodeDelivery {
        void DeliverCode(const std::wstring&) override {}
    } delivery;
    KeyboardHook hook(settings, codePage, delivery);
    hook.SetInstaller(&Refuse);
    EXPECT_FALSE(hook.InstallKeyboardHook());
    EXPECT_NE(hook.LastRecord().find(L"could not be installed (error 5"), std::wstring::npos);
    EXPECT_FALSE(Sees(hook));
    hook.SetInstaller(&SetWindowsHookExW);
    ASSERT_TRUE(hook.InstallKeyboardHook());
    EXPECT_TRUE(Sees(hook));
    EXPECT_FALSE(Sees(hook, kInjectedKeyTag));                   // the program's own keys
    EXPECT_TRUE(Sees(hook, 0x1'0000'0000ull | kInjectedKeyTag)); // wider than the tag: not ours
    hook.SetInstaller(&Refuse);
    hook.Reinstall(L"a test");
    EXPECT_NE(hook.LastRecord().find(L"could not be reinstalled"), std::wstring::npos);
    EXPECT_TRUE(Sees(hook));
    hook.RemoveKeyboardHook();
    EXPECT_FALSE(Sees(hook));
}

TEST(Win32Desktop, TypingIntoAHungWindowReturnsWhileItStillHangs) {
    static std::atomic<bool> asleep{false};
    const std::wstring title = L"Corv hung " + std::to_wstring(GetCurrentProcessId());
    std::thread([title] {
        // The window stays to the end: under Wine hiding a foreground window costs seconds.
        const HWND frame =
            CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                            300, 200, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(frame);
        SetFocus(CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 5, 5, 280, 150, frame,
                                 nullptr, nullptr, nullptr));
        asleep = true;
        Sleep(8000); // answers no message meanwhile
        asleep = false;
    }).detach();
    for (int i = 0; i < 1000 && !asleep; ++i)
        Sleep(5);
    Win32Desktop desktop;
    const auto target = desktop.FindTopLevelWindow(title);
    ASSERT_NE(target, 0u);
    desktop.SetForeground(target);
    desktop.TypeText(L"abc\r", true);
    EXPECT_TRUE(asleep.load());
}
