// The library search and the Tab order, which the end-to-end tests do not see.
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Form.h"
#include "ui/Settings.h"

using namespace corv;
using namespace corv::win32;

static std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const std::wstring p(path, GetModuleFileNameW(module, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
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

// A library named like the rich-edit library beside the program is never loaded: the start-up
// restricts the search to the system folder. A copy of this program runs from a folder that
// holds such a library (which leaves a marker when loaded) and checks what it loaded.
TEST(Win32Libraries, RichEditComesFromTheSystemFolderOnly) {
    if (GetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr, 0) > 0) {
        RestrictLibrarySearch();
        InitWindowLayer(GetModuleHandleW(nullptr));
        const HMODULE loaded = GetModuleHandleW(L"Msftedit.dll");
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(FolderOf(loaded), FolderOf(GetModuleHandleW(L"kernel32.dll"))); // the system's
        EXPECT_EQ(LoadLibraryW(L"Msftedit.dll"), loaded); // a later load by the bare name too
        return;
    }
    const std::wstring here = FolderOf(nullptr), dir = here + L"\\planted";
    const std::wstring files[] = {dir + L"\\win32_tests.exe", dir + L"\\Msftedit.dll",
                                  dir + L"\\planted-loaded"};
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((here + L"\\win32_tests.exe").c_str(), files[0].c_str(), FALSE) &&
                CopyFileW((here + L"\\PlantedRichEdit.dll").c_str(), files[1].c_str(), FALSE));
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", L"1");
    EXPECT_EQ(_wspawnl(_P_WAIT, files[0].c_str(), L"x", L"--gtest_brief=1",
                       L"--gtest_filter=Win32Libraries.*", nullptr),
              0);
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr);
    EXPECT_EQ(GetFileAttributesW(files[2].c_str()), INVALID_FILE_ATTRIBUTES)
        << "planted one loaded";
    for (const std::wstring& f : files)
        DeleteFileW(f.c_str());
    RemoveDirectoryW(dir.c_str());
}
