// The basic Win32 seams where the unit tests' fakes rely on them, and the library search.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Form.h"

using namespace corv::win32;

namespace {

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"corv-basics-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const std::wstring p(path, GetModuleFileNameW(module, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

} // namespace

// Names without regard to case, values cut to size - 1, new sections at the end, keys replaced
// in place: what the private-profile fake does.
TEST(Win32Profile, BehavesAsTheFakeAssumes) {
    const std::wstring file = TempFolder() + L"\\t.cfg";
    DeleteFileW(file.c_str());
    Win32PrivateProfile ini;
    EXPECT_TRUE(ini.WriteString(L"B", L"Value", L"1", file));
    EXPECT_TRUE(ini.WriteString(L"A", L"Value", std::wstring(300, L'x'), file));
    EXPECT_TRUE(ini.WriteString(L"b", L"VALUE", L"3", file));
    EXPECT_EQ(ini.GetString(L"b", L"value", L"", 255, file), L"3");
    std::ifstream in(file.c_str(), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(text.find("[B]\r\nValue=3\r\n[A]"), 0u) << text;
    EXPECT_EQ(ini.GetString(L"A", L"Value", L"", 255, file).size(), 254u);
    EXPECT_FALSE(ini.WriteString(L"A", L"Value", L"1", L"")); // never WIN.INI
}

TEST(Win32FileSystem, FindsOnlyOrdinaryFiles) {
    const std::wstring dir = TempFolder();
    Win32FileSystem fs;
    const std::wstring hidden = dir + L"\\h.lng", plain = dir + L"\\Forms.lng";
    std::ofstream(hidden.c_str()) << "x";
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(fs.FindFirstOrdinaryFile(dir + L"\\*.lng"));
    std::ofstream(plain.c_str()) << "x";
    EXPECT_EQ(fs.FindFirstOrdinaryFile(dir + L"\\*.lng").value_or(L""), L"Forms.lng");
    EXPECT_TRUE(fs.FolderExists(dir + L"\\"));
    EXPECT_FALSE(fs.FolderExists(plain));
    EXPECT_TRUE(fs.RemoveFile(plain));
    EXPECT_FALSE(fs.RemoveFile(plain));
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(hidden.c_str());
}

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
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, dir.c_str(), &si, &pi);
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr);
    ASSERT_TRUE(started);
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
