#pragma once
// The configuration store as one table, run over the fakes (unit tests) and over the real API
// under Wine (Win32 tests). A file "S=v|S:k=v" is "[S]\r\nValue=v\r\n[S]\r\nk=v\r\n". Loaded:
// found|none|error 1001, the settings in table order, the language, "@" the folder looked in;
// "@<folder>" alone: none and the defaults. Saved: the file after saving kChanged. Registry:
// "<view> <type> <text>" joined by ';' (type 0: the key alone). '|' is a NUL in both.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>

#include "config/Configuration.h"
#include "config/modRegistrty.h"

namespace corv::test {

struct ConfigWorld {
    ConfigWorld(PrivateProfile& p, FileSystem& f, Registry& r) : ini(p), files(f), registry(r) {}
    virtual ~ConfigWorld() = default;
    // The value in one view as UTF-16 with its NUL (type 0: none of that name); the file's
    // folder, and the file when there is a text.
    virtual void SetValue(bool view32, std::uint32_t type, const std::wstring& text) = 0;
    virtual void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) = 0;
    virtual std::optional<std::wstring> FileText(const std::wstring& path) = 0;
    PrivateProfile& ini;
    FileSystem& files;
    Registry& registry;
};

struct ConfigRow {
    const char* what;
    std::wstring file, loaded, saved = {}, registry = L"32 1 C:\\App\\", where = L"C:\\App\\";
};

inline constexpr int kChanged[] = {3, 16, 3, 1, 2, 1, 2, 0, 3, 1}; // and the language "RO"
inline const std::wstring kDefault = L"0 11 4 2 0 2 0 1 1 0 BG @", kLong(300, L'L');
inline const std::wstring kChangedSections =
    L"ComPort=3|BitsPerSecond=16|DataBits=3|FlowControl=1|Parity=1|SendTo=2|StopBits=2|cFilter=0|"
    L"Prefix=3|IsKeyBoard=1";

inline const ConfigRow kConfigRows[] = {
    {"no file: defaults; a save writes every section in order", L"", L"@C:\\App\\",
     kChangedSections + L"|Language=RO"},
    {"sections there before keep their place", L"Languages:lng1=BG|Language=BG",
     L"found " + kDefault + L"C:\\App\\", L"Languages:lng1=BG|Language=RO|" + kChangedSections},
    {"numbers: spaces, signs, halves to even",
     L"ComPort= 3 |BitsPerSecond=0009600|DataBits=-2.5|Parity=2.51|StopBits=2.5|FlowControl=0.5|"
     L"SendTo=-1|cFilter=32767|Prefix=-32768|IsKeyBoard=3.5|Language=\" RU \"",
     L"found 3 9600 -2 3 2 0 -1 32767 -32768 4 RU @C:\\App\\"},
    {"not numbers keep their defaults; no language is empty",
     L"ComPort=+7|BitsPerSecond=40000|DataBits=abc|Parity=|StopBits=2.4999|FlowControl=32767.5|"
     L"SendTo=1.5|cFilter=-32769|Prefix=1 2|IsKeyBoard=-1.5",
     L"found 7 11 4 2 2 2 2 1 1 -2  @C:\\App\\"},
    {"names without case; a long value cut; a key added to its section",
     L"BitsPerSecond=12x|DataBits=-|FlowControl=.|cFilter=99999999999999999999|Prefix:Other=5|"
     L"PARITY:vAlUe=0|Language=" +
         kLong,
     L"found 0 11 4 0 0 2 0 1 1 0 " + kLong.substr(46) + L" @C:\\App\\",
     L"BitsPerSecond=16|DataBits=3|FlowControl=1|cFilter=0|Prefix:Other=5|Prefix=3|"
     L"PARITY:vAlUe=1|Language=RO|ComPort=3|SendTo=2|StopBits=2|IsKeyBoard=1"},
    {"no key: the default folder when it exists", L"Prefix=2",
     L"found 0 11 4 2 0 2 0 1 2 0  @" + std::wstring(kDefaultAppFolder), L"", L"",
     kDefaultAppFolder},
    {"no key, no default folder: the program's", L"", L"@<prog>", L"", L""},
    {"the 64-bit view, unexpanded", L"", L"@D:\\%TEMP%\\", L"", L"64 2 D:\\%TEMP%\\"},
    {"the 32-bit view first, no separator", L"", L"@C:\\Thirty", L"", L"32 1 C:\\Thirty;64 1 D:\\"},
    {"a 32-bit key without the value", L"ComPort=9", L"error 1001 " + kDefault + L"old",
     L"ComPort=9", L"32 0 ;64 1 D:\\Sixty\\"},
    {"a number (bytes 1 0 0 0)", L"", L"@1", L"", L"32 4 \x0001"},
    {"bytes", L"", L"@E:\\b\\", L"", L"32 3 E:\\b\\|z"},
    {"strings", L"", L"@ab|c", L"", L"32 7 ab|c|"},
    {"empty text", L"", L"@", L"", L"32 1 "},
    {"longer than the first buffer", L"", L"@" + std::wstring(600, L'd'), L"",
     L"32 1 " + std::wstring(600, L'd')},
};

inline std::wstring IniText(const std::wstring& notation) {
    std::wstring text, last;
    std::wistringstream in(notation);
    for (std::wstring item; std::getline(in, item, L'|');) {
        const auto cut = item.find_first_of(L":=");
        if (item.substr(0, cut) != last)
            text += L"[" + item.substr(0, cut) + L"]\r\n";
        last = item.substr(0, cut);
        text += (item[cut] == L':' ? item.substr(cut + 1) : L"Value" + item.substr(cut)) + L"\r\n";
    }
    return text;
}

inline void RunConfigRow(ConfigWorld& w, const ConfigRow& row) {
    SCOPED_TRACE(row.what);
    std::wistringstream items(row.registry);
    for (std::wstring item; std::getline(items, item, L';');) {
        std::wstring text = item.substr(item.find(L' ', 3) + 1);
        std::replace(text.begin(), text.end(), L'|', L'\0');
        w.SetValue(item.starts_with(L"32"), std::stoul(item.substr(3)), text);
    }
    const std::wstring file = row.where + kConfigFileName;
    w.PutFile(file, row.file.empty() ? std::nullopt : std::optional(IniText(row.file)));
    Configuration config(w.ini, w.files, w.registry);
    AppSettings s;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s.*kSettingRows[i].field = static_cast<std::int16_t>(kChanged[i]);
    s.Language = L"RO", s.ConfigFile = L"old";
    const AppSettings changed = s;
    std::wstring got;
    try {
        got = config.LoadSettings(s) ? L"found " : L"none ";
    } catch (const RegistryError& e) {
        got = L"error " + std::to_wstring(e.Number()) + L" ";
    }
    for (const SettingRow& r : kSettingRows)
        got += std::to_wstring(s.*r.field) + L" ";
    std::wstring folder = s.ConfigFile.substr(0, s.ConfigFile.rfind(kConfigFileName));
    std::replace(folder.begin(), folder.end(), L'\0', L'|');
    std::wstring want =
        row.loaded.starts_with(L'@') ? L"none " + kDefault + row.loaded.substr(1) : row.loaded;
    if (const auto at = want.find(L"<prog>"); at != std::wstring::npos)
        want.replace(at, 6, w.files.ProgramFolder() + L"\\");
    EXPECT_EQ(got + s.Language + L" @" + folder, want);
    if (row.saved.empty())
        return;
    config.SaveSettings(changed);
    EXPECT_EQ(w.FileText(file), IniText(row.saved));
}

} // namespace corv::test
