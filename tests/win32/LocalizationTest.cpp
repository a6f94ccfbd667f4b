// The resource manager over the real private-profile functions: language files in UTF-16 and in
// the 8-bit ANSI code page, and the shipped files beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iostream>
#include <string>

#include "config/Configuration.h"
#include "localization/ResManagerClass.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32Registry.h"

using namespace corv;

namespace {

// The real file system with the program folder moved to a folder of the test's own.
class FolderFileSystem : public win32::Win32FileSystem {
  public:
    explicit FolderFileSystem(std::wstring folder) : folder_(std::move(folder)) {}
    std::wstring ProgramFolder() override { return folder_; }

  private:
    std::wstring folder_;
};

std::wstring NewFolder(const wchar_t* name) {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring dir = std::wstring(buf) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string Utf16File(const std::wstring& text) {
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::wstring FromAnsi(const std::string& bytes) {
    return win32::AnsiCodePage().FromAnsi(bytes);
}

class Win32Localization : public testing::Test {
  protected:
    void TearDown() override {
        for (const wchar_t* f : {L"\\Common.lng", L"\\Forms.lng"})
            DeleteFileW((folder + f).c_str());
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring folder = NewFolder(L"corv-lang");
    win32::Win32PrivateProfile ini;
    FolderFileSystem files{folder};
    win32::Win32Registry registry;
    Configuration config{ini, files, registry};
    AppSettings settings;
    AppState state;
    ResManagerClass res{config, files, settings, state};
};

} // namespace

TEST_F(Win32Localization, Utf16FilesGiveEveryAlphabetExactly) {
    WriteBytes(folder + L"\\Common.lng",
               Utf16File(L"[strLanguage]\r\nRU=Русский\r\nSR=Српски\r\nRO=Română\r\n"
                         L"[Settings|cPrefix|2]\r\nro=a|vbNewLine|ăâîșț ĂÂÎȘȚ\r\n"));
    std::wstring many = L"[Settings|lbParity]\r\nSR=Парност\r\n[many]\r\n";
    for (int i = 0; i < 400; ++i)
        many += L"k" + std::to_wstring(i) + L"=x\r\n";
    WriteBytes(folder + L"\\Forms.lng", Utf16File(many));
    // The languages a section names, in file order; a long list is read whole.
    EXPECT_EQ(config.ReadIniKeys(L"STRLANGUAGE", folder + L"\\Common.lng"),
              (std::vector<std::wstring>{L"RU", L"SR", L"RO"}));
    EXPECT_TRUE(config.ReadIniKeys(L"strConnect", folder + L"\\Common.lng").empty());
    const auto keys = config.ReadIniKeys(L"many", folder + L"\\Forms.lng");
    ASSERT_EQ(keys.size(), 400u);
    EXPECT_EQ(keys.back(), L"k399");
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"ru"), L"Русский");
    EXPECT_EQ(res.ResStringComm(L"STRLANGUAGE", L"SR"), L"Српски");
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RO"), L"Română");
    EXPECT_EQ(res.ResStringComm(L"strConnect", L"RO"), L"Включване");
    res.CurrentLanguage(L"RO");
    EXPECT_EQ(res.GetResString(L"Settings|cPrefix|2"), L"a\r\năâîșț ĂÂÎȘȚ");
    EXPECT_EQ(res.ResStringForm(L"Settings|lbParity", L"SR"), L"Парност");
    EXPECT_EQ(res.ResStringForm(L"Settings|lbParity", L"EN"), L"Четност");
}

TEST_F(Win32Localization, EightBitFilesAreReadInTheAnsiCodePage) {
    // "Изключване" and "Русский" in Windows-1251, "Română" in Windows-1250.
    const std::string off = "\xC8\xE7\xEA\xEB\xFE\xF7\xE2\xE0\xED\xE5";
    const std::string russian = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9";
    const std::string romanian = "Rom\xE2n\xE3";
    WriteBytes(folder + L"\\Common.lng", "[strDisconnect]\r\nRU=" + off +
                                             "\r\n[strLanguage]\r\nRU=" + russian +
                                             "\r\nEN=English\r\nRO=" + romanian + "\r\n");
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"EN"), L"English");
    EXPECT_EQ(res.ResStringComm(L"strDisconnect", L"RU"), FromAnsi(off));
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RU"), FromAnsi(russian));
    EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RO"), FromAnsi(romanian));
    // An 8-bit file means what the system's code page says; the shipped files are UTF-16 so
    // that they mean the same everywhere.
    const UINT acp = GetACP();
    std::cout << "[          ] ANSI code page " << acp << "\n";
    if (acp == 1251) {
        EXPECT_EQ(res.ResStringComm(L"strDisconnect", L"RU"), L"Изключване");
        EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RU"), L"Русский");
    } else {
        EXPECT_NE(res.ResStringComm(L"strLanguage", L"RU"), L"Русский");
    }
    if (acp == 1250)
        EXPECT_EQ(res.ResStringComm(L"strLanguage", L"RO"), L"Română");
    else
        EXPECT_NE(res.ResStringComm(L"strLanguage", L"RO"), L"Română");
}

TEST_F(Win32Localization, ShippedFilesBesideTheProgramTranslate) {
    win32::Win32FileSystem real;
    ResManagerClass shipped(config, real, settings, state);
    ASSERT_TRUE(config.FileExists(real.ProgramFolder() + L"\\Common.lng"));
    ASSERT_TRUE(config.FileExists(real.ProgramFolder() + L"\\Forms.lng"));
    EXPECT_EQ(shipped.ResStringComm(L"strLanguage", L"BG"), L"Български");
    EXPECT_EQ(shipped.ResStringComm(L"strLanguage", L"SR"), L"Српски");
    EXPECT_EQ(shipped.ResStringComm(L"strLanguage", L"RO"), L"Română");
    EXPECT_EQ(shipped.ResStringComm(L"strDisconnect", L"RU"), L"Отключить");
    EXPECT_EQ(shipped.ResStringComm(L"mnuExit", L"EN"), L"E&xit");
    EXPECT_EQ(shipped.ResStringForm(L"Settings|lbStopBits", L"RO"), L"Biți de stop");
    EXPECT_EQ(shipped.ResStringForm(L"Settings|frmCom", L"SR"), L"Подешавања COM порта");
    shipped.CurrentLanguage(L"SR");
    EXPECT_EQ(shipped.GetResString(L"Settings|cSendTo|1"), L"Само цифре");
}

TEST_F(Win32Localization, StartUpMarkersAreFoundAndDeleted) {
    WriteBytes(folder + L"\\StartUp.ru", "");
    WriteBytes(folder + L"\\StartUp.en", "");
    EXPECT_EQ(res.SetStartUpLanguage(), L"EN");
    EXPECT_EQ(GetFileAttributesW((folder + L"\\StartUp.en").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(res.SetStartUpLanguage(), L"RU");
    EXPECT_EQ(res.SetStartUpLanguage(), L"BG");
}
