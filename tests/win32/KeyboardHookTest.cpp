// The keyboard reader's low-level hook against the real API: installing, removing and
// reinstalling, the callback's answers, and what the window carries out afterwards (keys given
// back through the system, codes delivered).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/Win32Basics.h"

using namespace corv;
using namespace corv::win32;

namespace {

struct Recorder : CodeDelivery {
    std::vector<std::wstring> log;
    void DeliverCode(const std::wstring& code) override { log.push_back(L"code " + code); }
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

// A hook installed before the reader's sees, after it, the keys the program puts back into the
// system: "BA/27" a press, "BA/27 up" a release.
std::vector<std::string> g_ownKeys;
LRESULT CALLBACK Observe(int code, WPARAM wp, LPARAM lp) noexcept {
    const auto& k = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    if (code == HC_ACTION && k.dwExtraInfo == kInjectedKeyTag && (k.flags & LLKHF_INJECTED)) {
        char text[32];
        wsprintfA(text, "%02X/%02X%s", static_cast<unsigned>(k.vkCode),
                  static_cast<unsigned>(k.scanCode),
                  (wp == WM_KEYUP || wp == WM_SYSKEYUP) ? " up" : "");
        g_ownKeys.push_back(text);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

struct Fixture {
    Fixture() { g_ownKeys.clear(); }
    AppSettings settings;
    AnsiCodePage codePage;
    Recorder out;
    HookHandle observer{SetWindowsHookExW(WH_KEYBOARD_LL, &Observe, GetModuleHandleW(nullptr), 0)};
    KeyboardHook hook{settings, codePage, out};

    // True when the installed hook saw an injected key code 2; the capture it opened is ended.
    bool Sees(ULONG_PTR extraInfo = 0) {
        InjectKeyCode2(extraInfo);
        Pump(150);
        const bool capturing = hook.State().Capturing;
        Call(VK_RETURN, 0x1C, 0, 0);
        Call(VK_RETURN, 0x1C, LLKHF_UP, 0);
        Pump(20);
        return capturing;
    }
};

} // namespace

TEST(KeyboardHook, ExactlyOneHookSeesKeysUntilRemovedAndTheProgramsOwnKeysAreLeftAlone) {
    Fixture f;
    ASSERT_TRUE(f.observer);
    ASSERT_TRUE(f.hook.InstallKeyboardHook());
    ASSERT_TRUE(f.hook.IsInstalled());
    EXPECT_TRUE(f.Sees(0));
    EXPECT_FALSE(f.Sees(kInjectedKeyTag));
    EXPECT_TRUE(f.Sees(0x1'0000'0000ull | kInjectedKeyTag)); // wider than the tag: not ours
    EXPECT_TRUE(f.hook.InstallKeyboardHook());               // the installed one stays
    f.hook.RemoveKeyboardHook();
    EXPECT_FALSE(f.hook.IsInstalled());
    EXPECT_FALSE(f.Sees(0));
    EXPECT_EQ(f.out.log.size(), 2u); // the two ended captures, delivered after the callbacks
}

TEST(KeyboardHook, AHookTheSystemRefusesIsAFailureOnRecordAndAFailedReinstallKeepsTheOldOne) {
    Fixture f;
    f.hook.SetInstaller([](int, HOOKPROC, HINSTANCE, DWORD) -> HHOOK {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    });
    EXPECT_FALSE(f.hook.InstallKeyboardHook());
    EXPECT_FALSE(f.hook.IsInstalled());
    EXPECT_NE(f.hook.LastRecord().find(L"could not be installed (error 5"), std::wstring::npos)
        << f.hook.LastRecord();
    EXPECT_FALSE(f.Sees());
    f.hook.SetInstaller(&SetWindowsHookExW);
    ASSERT_TRUE(f.hook.InstallKeyboardHook());
    f.hook.SetInstaller([](int, HOOKPROC, HINSTANCE, DWORD) -> HHOOK { return nullptr; });
    f.hook.Reinstall(L"a test");
    EXPECT_EQ(f.hook.Reinstalls(), 0);
    EXPECT_TRUE(f.hook.IsInstalled());
    EXPECT_TRUE(f.Sees());
}

TEST(KeyboardHook, HeldKeysGoBackThroughTheSystemAsTheyWereTypedAndCodesAfterTheCallback) {
    Fixture f;
    ASSERT_TRUE(f.hook.InstallKeyboardHook());
    f.settings.Prefix = 3;
    const DWORD up = LLKHF_UP;
    // A slow semicolon: both of its events are held, then given back together.
    EXPECT_EQ(Call(0xBA, 0x27, 0, 1000), 1);
    EXPECT_EQ(Call(0xBA, 0x27, up, 1100), 1);
    EXPECT_TRUE(g_ownKeys.empty()); // nothing put back inside a callback
    Pump(50);
    EXPECT_EQ(g_ownKeys, (std::vector<std::string>{"BA/27", "BA/27 up"}));
    EXPECT_TRUE(f.hook.State().Returning.empty()); // they came through the reader's hook too
    // A reader's burst "12".
    EXPECT_EQ(Call(0xBA, 0x27, 0, 2000), 1);
    EXPECT_EQ(Call(0xBA, 0x27, up, 2010), 1);
    for (DWORD vk : {0x31u, 0x32u, 0x0Du}) {
        EXPECT_EQ(Call(vk, 0, 0, 2020), 1);
        EXPECT_EQ(Call(vk, 0, up, 2021), vk == 0x0D ? 0 : 1);
    }
    EXPECT_TRUE(f.out.log.empty());
    Pump(50);
    EXPECT_EQ(f.out.log, (std::vector<std::wstring>{L"code \u00A097112"}));
    // A capture that falls silent goes back whole after the silence, without a key to wake it.
    g_ownKeys.clear();
    EXPECT_EQ(Call(0xBA, 0x27, 0, 3000), 1);
    EXPECT_EQ(Call(0xBA, 0x27, up, 3005), 1);
    EXPECT_EQ(Call(0x41, 0x1E, 0, 3010), 1);
    EXPECT_EQ(Call(0x41, 0x1E, up, 3020), 1);
    Pump(kSilenceMs / 2);
    EXPECT_TRUE(g_ownKeys.empty());
    Pump(kSilenceMs + 300);
    EXPECT_EQ(g_ownKeys, (std::vector<std::string>{"BA/27", "BA/27 up", "41/1E", "41/1E up"}));
    EXPECT_FALSE(f.hook.State().Capturing);
    // Removing the hook mid-capture gives the held keys back as well.
    g_ownKeys.clear();
    EXPECT_EQ(Call(0x02, 0, 0, 4000), 1);
    f.hook.RemoveKeyboardHook();
    Pump(50);
    EXPECT_EQ(g_ownKeys, (std::vector<std::string>{"02/00"}));
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
