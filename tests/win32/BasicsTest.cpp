// What the end-to-end tests do not see or cannot bring about: the library search, the Tab order,
// a refused keyboard hook, a hung target window, the settings text of a port and a missing port.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <tuple>

#include "platform/win32/KeyboardHook.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Comm.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Form.h"
#include "ui/Settings.h"

using namespace corv;
using namespace corv::win32;

static std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const std::wstring p(path, GetModuleFileNameW(module, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

// The start-up restricts the library search to the system folder: a library beside the program
// (the planted one, which would leave a marker) is not loaded by its bare name, and the rich-edit
// library comes from the system folder.
TEST(Win32Libraries, OnlyTheSystemFolderIsSearched) {
    RestrictLibrarySearch();
    EXPECT_EQ(LoadLibraryW(L"PlantedRichEdit.dll"), nullptr);
    InitWindowLayer(GetModuleHandleW(nullptr));
    EXPECT_EQ(FolderOf(GetModuleHandleW(L"Msftedit.dll")),
              FolderOf(GetModuleHandleW(L"kernel32.dll")));
}

// Tab goes through the controls in the window's focus order, and each control's label lies just
// before it, where screen readers look for its name.
TEST(Win32Form, TabFollowsTheFocusOrderWithEachLabelBeforeItsControl) {
    InitWindowLayer(GetModuleHandleW(nullptr));
    Win32Form form(GetModuleHandleW(nullptr), SettingsLayout(), SettingsFocusOrder(), 0);
    auto h = [&](std::wstring_view n) { return static_cast<Win32Control&>(form[n]).Handle(); };
    HWND at = nullptr;
    for (const std::wstring& name : SettingsFocusOrder())
        EXPECT_EQ(at = GetNextDlgTabItem(form.Handle(), at, FALSE), h(name));
    EXPECT_EQ(GetWindow(h(L"cIsKeyBoard"), GW_HWNDPREV), h(L"lbKeyBoardReader"));
}

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

// The settings text changes only the line settings; a missing port fails with a system message.
TEST(Win32Comm, SettingsTextAndMissingPort) {
    Win32Comm comm;
    CommDcb dcb{1200, 1, 0, 0, 7, 2, 2, 0x11, 0x13, 0, 0, 0x7E};
    ASSERT_TRUE(comm.BuildDcb("baud=9600 parity=N data=8 stop=1", dcb));
    EXPECT_EQ(
        std::tie(dcb.BaudRate, dcb.Flags, dcb.ByteSize, dcb.Parity, dcb.StopBits, dcb.EvtChar),
        std::make_tuple(9600u, dcb.Flags | 1u, std::uint8_t{8}, std::uint8_t{0}, std::uint8_t{0},
                        '\x7E'));
    EXPECT_EQ(comm.Open("COM19", 0xC0000000u, 0, 3, 0x80), Comm::kInvalidHandle);
    EXPECT_EQ(comm.LastError(), 2u);
    char text[256] = {};
    EXPECT_TRUE(comm.SystemMessage(0x1000, 2, 0, text, 255) &&
                !comm.SystemMessage(0x1000, 0x7FFF1234u, 0, text, 255));
}
