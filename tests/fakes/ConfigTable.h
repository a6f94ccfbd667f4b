#pragma once
// The configuration store as one table, run over the fakes (unit tests) and over the real API
// under Wine (Win32 tests), so that both are held to the same answers. A file "S=v|S:k=v" is
// "[S]\r\nValue=v\r\n[S]\r\nk=v\r\n" ("" none). Loaded: found|none|error 1001, the settings in
// table order, the language, "@" the folder looked in ('|' a NUL). Saved: the file after saving
// kChanged ("" no save). Faults, fakes only: read|write <sections>, search, denied (the registry).
// Registry: "<view> <type> <text>" joined by ';' ('|' a NUL; "<view> key": the key alone).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/modRegistrty.h"

namespace corv::test {

struct ConfigWorld {
    ConfigWorld(PrivateProfile& p, FileSystem& f, Registry& r) : ini(p), files(f), registry(r) {}
    virtual ~ConfigWorld() = default;
    // The application folder's value in one view; type 0 makes the key alone.
    virtual void SetValue(bool view32, std::uint32_t type, const std::vector<std::uint8_t>& b) = 0;
    virtual bool Inject(const std::wstring& faults) = 0; // false: this world cannot
    // Makes the file's folder, and the file when there is a text.
    virtual void PutFile(const std::wstring& path, const std::optional<std::wstring>& text) = 0;
    virtual std::optional<std::wstring> FileText(const std::wstring& path) = 0;
    PrivateProfile& ini;
    FileSystem& files;
    Registry& registry;
};

struct ConfigRow {
    const char* what;
    std::wstring file, loaded, saved = {}, faults = {};
    std::wstring registry = L"32 1 C:\\App\\";
    std::wstring where = L"C:\\App\\"; // where the file is put
};

inline constexpr int kChanged[] = {3, 16, 3, 1, 2, 1, 2, 0, 3, 1}; // and the language "RO"
inline const std::wstring kDefault = L"0 11 4 2 0 2 0 1 1 0 BG @";
inline const std::wstring kDefaultFolder = kDefaultAppFolder;
inline const std::wstring kChangedSections = L"ComPort=3|BitsPerSecond=16|DataBits=3|"
                                             L"FlowControl=1|Parity=1|SendTo=2|StopBits=2|"
                                             L"cFilter=0|Prefix=3|IsKeyBoard=1";
inline const std::wstring kChangedFile = kChangedSections + L"|Language=RO";

inline const ConfigRow kConfigRows[] = {
    {"no file: defaults; a save writes every section in order", L"",
     L"none " + kDefault + L"C:\\App\\", kChangedFile},
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
         std::wstring(300, L'L'),
     L"found 0 11 4 0 0 2 0 1 1 0 " + std::wstring(254, L'L') + L" @C:\\App\\",
     L"BitsPerSecond=16|DataBits=3|FlowControl=1|cFilter=0|Prefix:Other=5|Prefix=3|"
     L"PARITY:vAlUe=1|Language=RO|ComPort=3|SendTo=2|StopBits=2|IsKeyBoard=1"},
    {"failed reads: defaults for those only", kChangedFile,
     L"found 3 16 3 2 2 1 2 0 1 1  @C:\\App\\", L"", L"read Parity Prefix Language"},
    {"a failed write keeps its value; later ones run", L"Languages:lng1=BG|ComPort=9|Parity=9",
     L"found 9 11 4 9 0 2 0 1 1 0  @C:\\App\\",
     L"Languages:lng1=BG|ComPort=9|Parity=9|BitsPerSecond=16|DataBits=3|FlowControl=1|SendTo=2|"
     L"StopBits=2|cFilter=0|Prefix=3|IsKeyBoard=1|Language=RO",
     L"write ComPort Parity"},
    {"a failed search: defaults; a save keeps the rest", L"Language=EN|Extra:Note=kept",
     L"none " + kDefault + L"C:\\App\\", L"Language=RO|Extra:Note=kept|" + kChangedSections,
     L"search"},
    {"a registry that refuses: the default folder", L"Prefix=2",
     L"found 0 11 4 2 0 2 0 1 2 0  @" + kDefaultFolder, L"", L"denied", L"32 1 C:\\App\\",
     kDefaultFolder},
    {"no key: the default folder when it exists", L"Prefix=2",
     L"found 0 11 4 2 0 2 0 1 2 0  @" + kDefaultFolder, L"", L"", L"", kDefaultFolder},
    {"no key, no default folder: the program's", L"", L"none " + kDefault + L"<prog>", L"", L"",
     L""},
    {"the 64-bit view", L"", L"none " + kDefault + L"D:\\Sixty\\", L"", L"", L"64 1 D:\\Sixty\\"},
    {"the 32-bit view first, no separator added", L"", L"none " + kDefault + L"C:\\Thirty", L"",
     L"", L"32 1 C:\\Thirty;64 1 D:\\Sixty\\"},
    {"a 32-bit key without the value", L"ComPort=9", L"error 1001 " + kDefault + L"old",
     L"ComPort=9", L"", L"32 key;64 1 D:\\Sixty\\"},
    {"a value of another type", L"", L"error 1001 " + kDefault + L"old", L"", L"", L"32 11 x"},
    {"a number (bytes 1 0 0 0)", L"", L"none " + kDefault + L"1", L"", L"", L"32 4 \x0001"},
    {"bytes", L"", L"none " + kDefault + L"E:\\b\\", L"", L"", L"32 3 E:\\b\\|z"},
    {"unexpanded", L"", L"none " + kDefault + L"%TEMP%\\", L"", L"", L"32 2 %TEMP%\\"},
    {"strings", L"", L"none " + kDefault + L"ab|c", L"", L"", L"32 7 ab|c|"},
    {"empty text", L"", L"none " + kDefault, L"", L"", L"32 1 "},
    {"longer than the first buffer", L"", L"none " + kDefault + L"C:\\" + std::wstring(600, L'd'),
     L"", L"", L"32 1 C:\\" + std::wstring(600, L'd')},
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

inline std::wstring IniNotation(const std::optional<std::wstring>& text) {
    std::wstring out, section;
    std::wistringstream in(text.value_or(L"(none)"));
    for (std::wstring line; std::getline(in, line);) {
        if (line.ends_with(L'\r'))
            line.pop_back();
        if (line.starts_with(L'['))
            section = line.substr(1, line.find(L']') - 1);
        else if (!line.empty())
            out += (out.empty() ? L"" : L"|") + section +
                   (line.starts_with(L"Value=") ? line.substr(5) : L":" + line);
    }
    return out;
}

inline std::wstring Shown(const AppSettings& s) {
    std::wstring out;
    for (const SettingRow& row : kSettingRows)
        out += std::to_wstring(s.*row.field) + L" ";
    return out + s.Language;
}

inline void RunConfigRow(ConfigWorld& w, const ConfigRow& row) {
    SCOPED_TRACE(row.what);
    if (!w.Inject(row.faults))
        return;
    std::wistringstream items(row.registry);
    for (std::wstring item; std::getline(items, item, L';');) {
        const std::wstring type = item.substr(3, item.find(L' ', 3) - 3);
        std::wstring text = item.substr(std::min(item.size(), 4 + type.size()));
        std::replace(text.begin(), text.end(), L'|', L'\0');
        std::vector<std::uint8_t> bytes;
        for (wchar_t c : text + L'\0')
            bytes.insert(bytes.end(),
                         {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
        w.SetValue(item.starts_with(L"32"), type == L"key" ? 0 : std::stoul(type), bytes);
    }
    const std::wstring file = row.where + kConfigFileName;
    w.PutFile(file, row.file.empty() ? std::nullopt : std::optional(IniText(row.file)));
    Configuration config(w.ini, w.files, w.registry);
    AppSettings s;
    for (std::size_t i = 0; i < kSettingCount; ++i)
        s.*kSettingRows[i].field = static_cast<std::int16_t>(kChanged[i]);
    s.Language = L"RO";
    s.ConfigFile = L"old";
    const AppSettings changed = s;
    std::wstring found;
    try {
        found = config.LoadSettings(s) ? L"found " : L"none ";
    } catch (const RegistryError& e) {
        found = L"error " + std::to_wstring(e.Number()) + L" ";
    }
    std::wstring folder = s.ConfigFile.substr(0, s.ConfigFile.rfind(kConfigFileName));
    std::replace(folder.begin(), folder.end(), L'\0', L'|');
    std::wstring want = row.loaded;
    if (const auto at = want.find(L"<prog>"); at != std::wstring::npos)
        want.replace(at, 6, w.files.ProgramFolder() + L"\\");
    EXPECT_EQ(found + Shown(s) + L" @" + folder, want);
    if (row.saved.empty())
        return;
    config.SaveSettings(changed);
    EXPECT_EQ(IniNotation(w.FileText(file)), row.saved);
    if (row.faults.empty() && !found.starts_with(L"error")) {
        EXPECT_TRUE(config.LoadSettings(s));
        EXPECT_EQ(Shown(s), Shown(changed));
    }
}

} // namespace corv::test
