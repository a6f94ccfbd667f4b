// A language file read into memory answers as the private-profile functions answer for the same
// file, written in UTF-16 and in the 8-bit ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "localization/LanguageFile.h"
#include "platform/win32/Win32Basics.h"

TEST(Win32Localization, LanguageFileAnswersAsThePrivateProfileFunctions) {
    const std::wstring text =
        L"; comment\r\nEN=no section\r\n[strConnect]\r\n EN = Connect \r\nen=second\r\n"
        L"[ spaced ]\r\nRU=\"quoted\"\r\nRO='open\r\nSR=\"\"\r\n\tBG\t=\ttab\t\r\n"
        L"[STRCONNECT]\r\nBG=later\r\n[Settings|lbParity]\nSR=Парност\rRO=a=b\r\nBG\r\n"
        L"[x\r\nEN=no header\r\n[]\r\nEN=empty name\r\n[a]b]\r\nEN=last bracket\r\n"
        L"[Settings|cPrefix|2]\r\nRU=Префикс\r\nEN=" +
        std::wstring(300, L'w') + L"\r\n";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"corv-language.lng";
    const std::string ansi(text.begin(), text.end()); // each character's low byte
    for (const std::string& bytes :
         {"\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2),
          ansi}) {
        std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
        const auto read = corv::win32::Win32FileSystem().ReadText(path);
        ASSERT_TRUE(read);
        const corv::LanguageFile file(*read);
        for (const wchar_t* section :
             {L"strConnect", L"STRCONNECT", L" spaced ", L"spaced", L"Settings|lbParity", L"x", L"",
              L"a]b", L"a", L"Settings|cPrefix|2", L"missing"})
            for (const wchar_t* key : {L"EN", L"en", L" EN ", L"RU", L"RO", L"SR", L"BG", L"x"})
                for (int size : {255, 4}) {
                    std::wstring expected(static_cast<std::size_t>(size), L'\0');
                    expected.resize(GetPrivateProfileStringW(section, key, L"", expected.data(),
                                                             size, path.c_str()));
                    EXPECT_EQ(file.Value(section, key, size), expected)
                        << section << L" " << key << L" " << size << L" " << bytes.size();
                }
    }
    DeleteFileW(path.c_str());
}
