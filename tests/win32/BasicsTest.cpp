// The library search: no library planted beside the program is ever loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Form.h"

using namespace corv::win32;

namespace {

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH];
    std::wstring dir(buf, GetTempPathW(MAX_PATH, buf));
    dir += L"corv-basics-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const std::wstring p(path, GetModuleFileNameW(module, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

} // namespace

// A library named like the rich-edit library beside the program is never loaded: the start-up
// restricts the search to the system folder. A copy of this program runs from a folder that
// holds such a library and checks what it loaded.
TEST(Win32Libraries, RichEditComesFromTheSystemFolderOnly) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    if (GetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr, 0) > 0) {
        RestrictLibrarySearch();
        InitWindowLayer(GetModuleHandleW(nullptr));
        const HMODULE loaded = GetModuleHandleW(L"Msftedit.dll");
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(lstrcmpiW(FolderOf(loaded).c_str(), system), 0);
        EXPECT_EQ(LoadLibraryW(L"Msftedit.dll"), loaded); // a later load by the bare name too
        return;
    }
    const std::wstring dir = TempFolder() + L"\\planted", self = dir + L"\\win32_tests.exe";
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
}
