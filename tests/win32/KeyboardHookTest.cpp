// The keyboard reader's hook when the system refuses it (the hook at work is seen end to end).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Basics.h"

using namespace corv;
using namespace corv::win32;

namespace {

struct NoDelivery : CodeDelivery {
    void DeliverCode(const std::wstring&) override {}
};

HHOOK WINAPI Refuse(int, HOOKPROC, HINSTANCE, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

// Key code 2 opens a capture whatever its flags, so an injected one shows whether the hook saw
// it; the capture goes back after the silence.
bool Sees(KeyboardHook& hook, ULONG_PTR extraInfo = 0) {
    INPUT in[2]{};
    for (auto& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = 2;
        i.ki.dwExtraInfo = extraInfo;
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    RunMessages(
        nullptr, [&] { return hook.State().Capturing; }, 300);
    const bool seen = hook.State().Capturing;
    RunMessages(
        nullptr, [&] { return !hook.State().Capturing; }, 3000);
    return seen;
}

} // namespace

TEST(KeyboardHook, ARefusedHookIsOnRecordAndARefusedReinstallKeepsTheHookInPlace) {
    AppSettings settings;
    AnsiCodePage codePage;
    NoDelivery delivery;
    KeyboardHook hook(settings, codePage, delivery);
    hook.SetInstaller(&Refuse);
    EXPECT_FALSE(hook.InstallKeyboardHook());
    EXPECT_FALSE(hook.IsInstalled());
    EXPECT_NE(hook.LastRecord().find(L"could not be installed (error 5"), std::wstring::npos);
    EXPECT_FALSE(Sees(hook));

    hook.SetInstaller(&SetWindowsHookExW);
    ASSERT_TRUE(hook.InstallKeyboardHook());
    EXPECT_TRUE(Sees(hook));
    EXPECT_FALSE(Sees(hook, kInjectedKeyTag));                   // the program's own keys
    EXPECT_TRUE(Sees(hook, 0x1'0000'0000ull | kInjectedKeyTag)); // wider than the tag: not ours

    hook.SetInstaller(&Refuse);
    hook.Reinstall(L"a test");
    EXPECT_EQ(hook.Reinstalls(), 0);
    EXPECT_NE(hook.LastRecord().find(L"could not be reinstalled"), std::wstring::npos);
    EXPECT_TRUE(Sees(hook));
    hook.RemoveKeyboardHook();
    EXPECT_FALSE(Sees(hook));
}
