// The library search and the Tab order, which the end-to-end tests do not see.
#include <gtest/gtest.h>
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
// holds such a library and checks what it loaded.
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
    const std::wstring dir = FolderOf(nullptr) + L"\\planted", self = dir + L"\\win32_tests.exe";
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((FolderOf(nullptr) + L"\\win32_tests.exe").c_str(), self.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((FolderOf(nullptr) + L"\\PlantedRichEdit.dll").c_str(),
                          (dir + L"\\Msftedit.dll").c_str(), FALSE));
    std::wstring command = L"\"" + self + L"\" --gtest_brief=1 --gtest_filter=Win32Libraries.*";
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", L"1");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               dir.c_str(), &si, &pi));
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr);
    const KernelHandle process(pi.hProcess), thread(pi.hThread);
    DWORD code = 1;
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u) << "the copy beside the planted library failed";
    const std::wstring marker = dir + L"\\planted-loaded";
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "planted one loaded";
    for (const std::wstring& f : {self, dir + L"\\Msftedit.dll", marker})
        DeleteFileW(f.c_str());
    RemoveDirectoryW(dir.c_str());
}
