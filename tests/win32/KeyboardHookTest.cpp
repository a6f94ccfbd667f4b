// The keyboard reader's low-level hook against the real API: installing and removing, the
// callback's answers, and the actions it leaves for the window to carry out afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/Win32Basics.h"

using namespace corv;
using namespace corv::win32;

namespace {

struct Recorder : CodeDelivery, Desktop {
    std::vector<std::wstring> log;
    void DeliverCode(const std::wstring& code) override { log.push_back(L"code " + code); }
    Window FindTopLevelWindow(const std::wstring&) override { return 0; }
    bool SetForeground(Window) override { return false; }
    bool WaitUntilFocused(Window, int) override { return false; }
    void TypeText(const std::wstring& text, bool wait) override {
        log.push_back(L"type " + text + (wait ? L" waiting" : L""));
    }
};

void Pump(int ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

// Key code 2 opens a capture whatever its flags, so an injected one shows whether a hook saw it.
void InjectKeyCode2(ULONG_PTR extraInfo = 0) {
    INPUT in[2]{};
    for (auto& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = 2;
        i.ki.dwExtraInfo = extraInfo;
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

LRESULT Call(DWORD vk, DWORD scan, DWORD flags, DWORD time) {
    KBDLLHOOKSTRUCT k{};
    k.vkCode = vk;
    k.scanCode = scan;
    k.flags = flags;
    k.time = time;
    return KeyboardHook::KeyboardHookProc(HC_ACTION, (flags & LLKHF_UP) ? WM_KEYUP : WM_KEYDOWN,
                                          reinterpret_cast<LPARAM>(&k));
}

struct Fixture {
    AppSettings settings;
    AnsiCodePage codePage;
    Recorder out;
    KeyboardHook hook{settings, codePage, out, out};
};

} // namespace

TEST(KeyboardHook, ExactlyOneHookSeesKeysUntilRemovedAndTheProgramsOwnKeysAreLeftAlone) {
    Fixture f;
    const auto seen = [&](ULONG_PTR extraInfo) {
        InjectKeyCode2(extraInfo);
        Pump(150);
        const bool capturing = f.hook.State().Capturing;
        Call(VK_RETURN, 0x1C, 0, 0); // ends the capture
        Call(VK_RETURN, 0x1C, LLKHF_UP, 0);
        return capturing;
    };
    f.hook.InstallKeyboardHook();
    ASSERT_TRUE(f.hook.IsInstalled());
    EXPECT_TRUE(seen(0));
    EXPECT_FALSE(seen(kInjectedKeyTag));
    EXPECT_TRUE(seen(0x1'0000'0000ull | kInjectedKeyTag)); // wider than the tag: not ours
    f.hook.InstallKeyboardHook();
    f.hook.InstallKeyboardHook();
    f.hook.RemoveKeyboardHook();
    EXPECT_FALSE(f.hook.IsInstalled());
    EXPECT_FALSE(seen(0));
    Pump(50);
    EXPECT_EQ(f.out.log.size(), 2u); // the two ended captures, delivered after the callbacks
}

TEST(KeyboardHook, AFailedInstallLeavesTheProgramAsItWas) {
    Fixture f;
    const auto seen = [&] {
        InjectKeyCode2(0);
        Pump(150);
        const bool capturing = f.hook.State().Capturing;
        Call(VK_RETURN, 0x1C, 0, 0);
        Call(VK_RETURN, 0x1C, LLKHF_UP, 0);
        return capturing;
    };
    f.hook.SetInstaller([](int, HOOKPROC, HINSTANCE, DWORD) -> HHOOK {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    });
    f.hook.InstallKeyboardHook(); // nothing installed, nothing reported
    EXPECT_FALSE(f.hook.IsInstalled());
    EXPECT_FALSE(seen());
    f.hook.RemoveKeyboardHook(); // nothing to remove
    f.hook.SetInstaller(&SetWindowsHookExW);
    f.hook.InstallKeyboardHook();
    ASSERT_TRUE(f.hook.IsInstalled());
    f.hook.SetInstaller([](int, HOOKPROC, HINSTANCE, DWORD) -> HHOOK { return nullptr; });
    f.hook.InstallKeyboardHook(); // the installed hook stays and keeps working
    EXPECT_TRUE(f.hook.IsInstalled());
    EXPECT_TRUE(seen());
    f.hook.RemoveKeyboardHook();
    EXPECT_FALSE(f.hook.IsInstalled());
}

TEST(KeyboardHook, CallbackAnswersAtOnceAndTheWindowTypesAfterwards) {
    Fixture f;
    f.settings.Prefix = 3;
    const DWORD up = LLKHF_UP;
    // A slow semicolon, then a reader's burst "12".
    EXPECT_EQ(Call(0xBA, 0x27, 0, 1000), 1);
    EXPECT_EQ(Call(0xBA, 0x27, up, 1100), 0);
    EXPECT_EQ(Call(0xBA, 0x27, 0, 2000), 1);
    EXPECT_EQ(Call(0xBA, 0x27, up, 2010), 0);
    for (DWORD vk : {0x31u, 0x32u, 0x0Du}) {
        EXPECT_EQ(Call(vk, 0, 0, 2020), 1);
        EXPECT_EQ(Call(vk, 0, up, 2021), vk == 0x0D ? 0 : 1);
    }
    EXPECT_TRUE(f.out.log.empty()); // nothing typed inside a callback
    Pump(50);
    EXPECT_EQ(f.out.log, (std::vector<std::wstring>{L"type ;", L"code \u00A097112"}));
    // A code other than 0 is passed on without a look.
    EXPECT_EQ(KeyboardHook::KeyboardHookProc(-1, 0, 0), 0);
}

TEST(HookHandle, MovesAndUnhooksOnce) {
    auto proc = [](int code, WPARAM wp, LPARAM lp) noexcept -> LRESULT {
        return CallNextHookEx(nullptr, code, wp, lp);
    };
    HHOOK raw = SetWindowsHookExW(WH_KEYBOARD_LL, proc, GetModuleHandleW(nullptr), 0);
    ASSERT_NE(raw, nullptr);
    HookHandle a(raw);
    HookHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), raw);
    {
        HookHandle c;
        c = std::move(b);
        EXPECT_FALSE(b);
    }
    EXPECT_FALSE(UnhookWindowsHookEx(raw)); // already removed by c
}
