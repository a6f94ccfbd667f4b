// The basic Win32 seams against the real API.
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

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Win32Profile, BehavesAsTheFakeAssumes) {
    const std::wstring file = TempFolder() + L"\\t.cfg";
    DeleteFileW(file.c_str());
    Win32PrivateProfile ini;
    EXPECT_EQ(ini.GetString(L"B", L"Value", L"", 255, file), L"");
    EXPECT_TRUE(ini.WriteString(L"B", L"Value", L"1", file));
    EXPECT_TRUE(ini.WriteString(L"A", L"Value", L"2", file));
    EXPECT_TRUE(ini.WriteString(L"b", L"VALUE", L"3", file));
    EXPECT_EQ(ini.GetString(L"b", L"value", L"", 255, file), L"3");
    const std::string text = ReadAll(file);
    EXPECT_LT(text.find("[B]"), text.find("[A]")) << text;
    EXPECT_EQ(text.find("1"), std::string::npos) << text;
    EXPECT_EQ(ini.GetString(L"A", L"Value", L"", 1, file), L"");
    EXPECT_TRUE(ini.WriteString(L"A", L"Value", std::wstring(300, L'x'), file));
    EXPECT_EQ(ini.GetString(L"A", L"Value", L"", 255, file).size(), 254u);
    EXPECT_FALSE(ini.WriteString(L"A", L"Value", L"1", L""));
    DeleteFileW(file.c_str());
}

TEST(Win32FileSystem, FindsOrdinaryFilesAndDeletes) {
    const std::wstring dir = TempFolder();
    Win32FileSystem fs;
    const std::wstring hidden = dir + L"\\h.lng";
    std::ofstream(hidden.c_str()) << "x";
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(fs.FindFirstOrdinaryFile(dir + L"\\*.lng"));
    const std::wstring plain = dir + L"\\Forms.lng";
    std::ofstream(plain.c_str()) << "x";
    EXPECT_EQ(fs.FindFirstOrdinaryFile(dir + L"\\*.lng").value_or(L""), L"Forms.lng");
    EXPECT_TRUE(fs.FolderExists(dir));
    EXPECT_TRUE(fs.FolderExists(dir + L"\\"));
    EXPECT_FALSE(fs.FolderExists(plain));
    EXPECT_TRUE(fs.RemoveFile(plain));
    EXPECT_FALSE(fs.RemoveFile(plain));
    EXPECT_FALSE(fs.FolderExists(dir + L"\\none"));
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(hidden.c_str());
    const std::wstring folder = fs.ProgramFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_NE(GetFileAttributesW((folder + L"\\win32_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32CodePage, RoundTripsEveryByte) {
    AnsiCodePage cp;
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::wstring text = cp.FromAnsi(all);
    EXPECT_EQ(text.size(), all.size());
    EXPECT_EQ(text[0x41 - 1], L'A');
    EXPECT_EQ(text[0xA0 - 1], L'\u00A0');
}

// A library named like the rich-edit library beside the program is never loaded: the start-up
// restricts the search to the system folder. The test runs a copy of this program from a folder
// that holds such a library, and that copy checks what it loaded.
TEST(Win32Libraries, RichEditComesFromTheSystemFolderOnly) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    auto folderOf = [](HMODULE m) {
        wchar_t path[MAX_PATH];
        std::wstring p(path, GetModuleFileNameW(m, path, MAX_PATH));
        return p.substr(0, p.find_last_of(L'\\'));
    };
    if (GetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr, 0) > 0) {
        RestrictLibrarySearch();
        InitWindowLayer(GetModuleHandleW(nullptr));
        const HMODULE loaded = GetModuleHandleW(L"Msftedit.dll");
        ASSERT_NE(loaded, nullptr);
        const std::wstring from = folderOf(loaded);
        EXPECT_EQ(lstrcmpiW(from.c_str(), system), 0) << "loaded from " << from;
        // A later load by the bare name does not reach the program's folder either.
        EXPECT_EQ(LoadLibraryW(L"Msftedit.dll"), loaded);
        return;
    }
    const std::wstring dir = TempFolder() + L"\\planted";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring self = dir + L"\\win32_tests.exe";
    const std::wstring marker = dir + L"\\planted-loaded";
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(CopyFileW((folderOf(nullptr) + L"\\win32_tests.exe").c_str(), self.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((folderOf(nullptr) + L"\\PlantedRichEdit.dll").c_str(),
                          (dir + L"\\Msftedit.dll").c_str(), FALSE));
    std::wstring command = L"\"" + self +
                           L"\" --gtest_brief=1 "
                           L"--gtest_filter=Win32Libraries.RichEditComesFromTheSystemFolderOnly";
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", L"1");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, dir.c_str(), &si, &pi);
    SetEnvironmentVariableW(L"CORV_PLANTED_CHILD", nullptr);
    ASSERT_TRUE(started);
    DWORD code = 1;
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u) << "the copy beside the planted library failed";
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted library was loaded";
    for (const wchar_t* f : {L"\\win32_tests.exe", L"\\Msftedit.dll", L"\\planted-loaded"})
        DeleteFileW((dir + f).c_str());
    RemoveDirectoryW(dir.c_str());
}
