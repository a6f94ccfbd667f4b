// The configuration store's table against the real private-profile, file-system and registry
// functions: what the unit tests' fakes answer, the system answers too.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "../fakes/ConfigTable.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Registry.h"

using namespace corv;

namespace {

const std::wstring kTestKey =
    L"Software\\Quillomarte\\CorvanthelixTest" + std::to_wstring(GetCurrentProcessId());

// The application folder's key moved to a key of the test's own.
struct TestRegistry : win32::Win32Registry {
    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override {
        return Win32Registry::OpenKey(root, path == kAppFolderKey ? kTestKey : path, access,
                                      opened);
    }
};

struct RealWorld : test::ConfigWorld {
    RealWorld() : ConfigWorld(profile, fs, reg) {}
    ~RealWorld() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey.c_str(), view, 0);
        for (auto p = made.rbegin(); p != made.rend(); ++p)
            DeleteFileW(p->c_str()) || RemoveDirectoryW(p->c_str());
    }
    void SetValue(bool view32, std::uint32_t type, const std::wstring& text) override {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey.c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS | (view32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY), nullptr,
                        &key, nullptr);
        RegSetValueExW(key, type ? kAppFolderValue : L"", 0, type,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) override {
        for (auto at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
            if (CreateDirectoryW(path.substr(0, at).c_str(), nullptr))
                made.push_back(path.substr(0, at));
        made.push_back(path); // also when a save makes it
        if (text)
            std::ofstream(path.c_str(), std::ios::binary) << win32::AnsiCodePage().ToAnsi(*text);
    }
    std::optional<std::wstring> FileText(const std::wstring& path) override {
        std::ifstream in(path.c_str(), std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        return in ? std::optional(win32::AnsiCodePage().FromAnsi(bytes)) : std::nullopt;
    }
    win32::Win32PrivateProfile profile;
    win32::Win32FileSystem fs;
    TestRegistry reg;
    std::vector<std::wstring> made; // files and folders to remove, the last first
};

} // namespace

TEST(Win32Configuration, AnswersAsTheFakesDo) {
    for (const auto& row : test::kConfigRows) {
        RealWorld world;
        test::RunConfigRow(world, row);
    }
}
