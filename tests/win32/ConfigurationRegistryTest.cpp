// The configuration file and the registry reader against the real API.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../fakes/SettingFields.h"
#include "config/Configuration.h"
#include "config/modRegistrty.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Registry.h"

using namespace corv;
using namespace corv::win32;

namespace {

const std::wstring kTestKey =
    L"Software\\Quillomarte\\CorvanthelixTest" + std::to_wstring(GetCurrentProcessId());

// Creates the test key in one view and removes it again.
class TestKey {
  public:
    explicit TestKey(REGSAM view) : view_(view) {
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_,
                        nullptr, &key_, nullptr);
    }
    ~TestKey() {
        if (key_)
            RegCloseKey(key_);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey.c_str(), view_, 0);
    }
    bool Ok() const { return key_ != nullptr; }
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
        RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data),
                       static_cast<DWORD>(bytes));
    }
    void SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        Set(name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }

  private:
    REGSAM view_;
    HKEY key_ = nullptr;
};

// The application folder key, moved to the test key.
class RedirectedRegistry : public Win32Registry {
  public:
    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override {
        return Win32Registry::OpenKey(root, path == kAppFolderKey ? kTestKey : path, access,
                                      opened);
    }
};

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + L"corv-config-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using fake::Fields;
using fake::Record;

RegistryValue Read(const std::wstring& name, std::uint32_t view) {
    Win32Registry reg;
    return GetRegistryValue(reg, Registry::kLocalMachine, kTestKey, name, std::nullopt, view);
}

} // namespace

TEST(Win32RegistryRead, EveryValueTypeAndLongValues) {
    TestKey key(KEY_WOW64_64KEY);
    ASSERT_TRUE(key.Ok());
    key.SetText(L"Text", L"C:\\Програми\\");
    key.SetText(L"Expand", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    key.SetText(L"Empty", L"");
    const DWORD one = 1;
    key.Set(L"One", REG_DWORD, &one, 4);
    const wchar_t multi[] = L"ab\0c\0"; // with the array's own NUL: the final pair
    key.Set(L"Multi", REG_MULTI_SZ, multi, sizeof multi);
    std::vector<std::uint8_t> blob(3000);
    for (std::size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<std::uint8_t>(i * 13);
    key.Set(L"Blob", REG_BINARY, blob.data(), blob.size());
    const std::wstring longText(1000, L'q'); // 2002 bytes
    key.SetText(L"Long", longText);
    const unsigned long long big = 5;
    key.Set(L"Quad", REG_QWORD, &big, 8);

    const auto v64 = Registry::kView64;
    EXPECT_EQ(std::get<std::wstring>(Read(L"text", v64)), L"C:\\Програми\\");
    EXPECT_EQ(std::get<std::wstring>(Read(L"Expand", v64)), L"%SystemRoot%\\x");
    EXPECT_EQ(std::get<std::wstring>(Read(L"Empty", v64)), L"");
    EXPECT_EQ(std::get<std::int32_t>(Read(L"One", v64)), 1);
    EXPECT_EQ(std::get<std::wstring>(Read(L"Multi", v64)), std::wstring(L"ab\0c", 4));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(Read(L"Blob", v64)), blob);
    EXPECT_EQ(std::get<std::wstring>(Read(L"Long", v64)), longText);
    EXPECT_THROW(Read(L"Quad", v64), RegistryError);
    EXPECT_THROW(Read(L"Missing", v64), RegistryError);
    // The key is absent from the other view.
    EXPECT_TRUE(std::holds_alternative<std::monostate>(Read(L"Text", Registry::kView32)));
}

TEST(Win32RegistryRead, AppFolderFromEitherViewThenTheDefaultThenTheProgramFolder) {
    Win32PrivateProfile ini;
    Win32FileSystem fs;
    RedirectedRegistry reg;
    Configuration config(ini, fs, reg);
    // No installation: the program's own folder, until the default folder exists.
    const wchar_t* const kMaker = L"C:\\Program Files\\Quillomarte";
    const wchar_t* const kDefault = L"C:\\Program Files\\Quillomarte\\Corvanthelix\\";
    ASSERT_FALSE(fs.FolderExists(kDefault));
    EXPECT_EQ(config.GetAppFolder(), fs.ProgramFolder() + L"\\");
    CreateDirectoryW(kMaker, nullptr);
    ASSERT_TRUE(CreateDirectoryW(kDefault, nullptr));
    EXPECT_EQ(config.GetAppFolder(), kDefault);
    {
        TestKey k64(KEY_WOW64_64KEY);
        k64.SetText(L"AppPAth", L"C:\\Sixty\\");
        EXPECT_EQ(config.GetAppFolder(), L"C:\\Sixty\\");
        {
            TestKey k32(KEY_WOW64_32KEY);
            k32.SetText(L"AppPAth", L"C:\\Thirty\\");
            EXPECT_EQ(config.GetAppFolder(), L"C:\\Thirty\\");
        }
        // A key without "AppPAth" is an error, not the default.
        TestKey bare(KEY_WOW64_32KEY);
        try {
            config.GetAppFolder();
            ADD_FAILURE() << "no error";
        } catch (const RegistryError& e) {
            EXPECT_EQ(e.Number(), 1001);
            EXPECT_EQ(e.Description(), "Unsupported value type");
        }
    }
    EXPECT_EQ(config.GetAppFolder(), kDefault);
    RemoveDirectoryW(kDefault);
    RemoveDirectoryW(kMaker);
}

TEST(Win32Configuration, SaveIntoANewFileThenLoadBack) {
    const std::wstring folder = TempFolder();
    const std::wstring file = folder + L"Corvanthelix.cfg";
    DeleteFileW(file.c_str());
    TestKey k32(KEY_WOW64_32KEY);
    k32.SetText(L"AppPAth", folder);
    Win32PrivateProfile ini;
    Win32FileSystem fs;
    RedirectedRegistry reg;
    Configuration config(ini, fs, reg);

    AppSettings none;
    EXPECT_FALSE(config.LoadSettings(none));
    EXPECT_EQ(none.ConfigFile, file);

    config.WriteIniValue(L"Languages", L"lng1", L"BG", file);
    AppSettings saved;
    std::tie(saved.ComPort, saved.BitsPerSecond, saved.Parity, saved.SendTo, saved.Filter,
             saved.Prefix, saved.IsKeyBoard) = std::tuple(3, 16, 0, 1, 0, 2, 1);
    saved.Language = L"RO";
    config.SaveSettings(saved);

    const std::string text = ReadAll(file);
    std::vector<std::string> sections = {"[Languages]"};
    for (const SettingRow* row : kSaveOrder) {
        std::string name = "[";
        for (const wchar_t* c = row->section; *c != L'\0'; ++c)
            name += static_cast<char>(*c);
        sections.push_back(name + ']');
    }
    sections.push_back("[Language]");
    std::size_t at = 0;
    for (const std::string& section : sections) {
        const std::size_t found = text.find(section, at);
        EXPECT_NE(found, std::string::npos) << section << " in order in\n" << text;
        if (found != std::string::npos)
            at = found;
    }
    EXPECT_NE(text.find("[BitsPerSecond]\r\nValue=16\r\n"), std::string::npos) << text;

    AppSettings loaded;
    EXPECT_TRUE(config.LoadSettings(loaded));
    EXPECT_EQ(Fields(loaded), Fields(saved));
    DeleteFileW(file.c_str());
}

TEST(Win32Configuration, ValuesLoadByTheNumberRule) {
    const std::wstring folder = TempFolder();
    const std::wstring file = folder + L"Corvanthelix.cfg";
    TestKey k64(KEY_WOW64_64KEY);
    k64.SetText(L"AppPAth", folder);
    {
        std::ofstream out(file.c_str(), std::ios::binary);
        out << "[ComPort]\r\nValue=  3  \r\n[BitsPerSecond]\r\nValue=40000\r\n"
               "[DataBits]\r\nValue=abc\r\n[StopBits]\r\nValue=2.5\r\n"
               "[FlowControl]\r\nValue=3.5\r\n[Prefix]\r\nValue=\r\n"
               "[Language]\r\nValue=" +
                   std::string(300, 'L') + "\r\n";
    }
    Win32PrivateProfile ini;
    Win32FileSystem fs;
    RedirectedRegistry reg;
    Configuration config(ini, fs, reg);
    AppSettings s;
    EXPECT_TRUE(config.LoadSettings(s));
    EXPECT_EQ(Fields(s), Record({3, 11, 4, 2, 2, 4, 0, 1, 1, 0}, std::wstring(254, L'L')));
    EXPECT_EQ(config.ReadIniValue(L"language", L"VALUE", file, 255).size(), 254u);
    DeleteFileW(file.c_str());
}
