// A language file read into memory answers as the private-profile functions answer for the same
// file, in UTF-16 and in the 8-bit ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "localization/LanguageFile.h"
#include "platform/win32/Win32Basics.h"

TEST(Win32Localization, LanguageFileAnswersAsThePrivateProfileFunctions) {
    const std::wstring text = L"EN=no section\r\n[strConnect]\r\n EN = Connect \r\nen=2\r\n[ "
                              L"spaced ]\r\nRU=\"quoted\"\r\n"
                              L"RO='open\r\nSR=\"\"\r\n\tBG\t=\ttab\t\r\n[STRCONNECT]\r\nBG="
                              L"later\r\n[Settings|lbParity]\n"
                              L"SR=Парност\rRO=a=b\r\nBG\r\n[x\r\nEN=no "
                              L"header\r\n[]\r\nEN=empty\r\n[a]b]\r\nEN=last ]\r\n"
                              L"[Settings|cPrefix|2]\r\nRU=Префикс\r\nEN=" +
                              std::wstring(300, L'w') + L"\r\n";
    wchar_t folder[MAX_PATH];
    const std::wstring path(folder, GetTempPathW(MAX_PATH, folder));
    const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    for (const std::string& bytes : {"\xFF\xFE" + utf16, std::string(text.begin(), text.end())}) {
        std::ofstream((path + L"corv.lng").c_str(), std::ios::binary) << bytes;
        const corv::LanguageFile file(*corv::win32::Win32FileSystem().ReadText(path + L"corv.lng"));
        for (const wchar_t* section :
             {L"strConnect", L"STRCONNECT", L" spaced ", L"spaced", L"x", L"Settings|lbParity", L"",
              L"a]b", L"a", L"Settings|cPrefix|2"})
            for (const wchar_t* key : {L"EN", L"en", L" EN ", L"RU", L"RO", L"SR", L"BG", L"x"})
                for (int size : {255, 4}) {
                    std::wstring expected(static_cast<std::size_t>(size), L'\0');
                    expected.resize(GetPrivateProfileStringW(section, key, L"", expected.data(),
                                                             size, (path + L"corv.lng").c_str()));
                    EXPECT_EQ(file.Value(section, key, size), expected)
                        << section << L" " << key << L" " << size << L" " << bytes.size();
                }
    }
    DeleteFileW((path + L"corv.lng").c_str());
}
