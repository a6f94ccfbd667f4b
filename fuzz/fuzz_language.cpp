// The language files and their look-ups over arbitrary file text: every look-up gives the file's
// text when it has a non-blank one, cut to the buffer, and the built-in text otherwise; the list
// of languages holds only two-letter upper-case codes; translating the Settings window keeps its
// lists whole; the language start-up leaves the settings in the configuration file untouched.
//
// Input: up to four parts separated by the line "#--": "Common.lng" (in the "Related Documents"
// sub-folder when it starts with '~'), "Forms.lng", the configuration file, the current language.
// All text is in the 8-bit code page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FakeCodePage.h"
#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "FuzzCheck.h"
#include "InMemoryForm.h"
#include "LayoutForms.h"
#include "common/Text.h"
#include "config/Configuration.h"
#include "localization/Localization.h"
#include "localization/ResManagerClass.h"
#include "ui/FormLayouts.h"

using namespace corv;
using fuzz::Printable;

namespace {

constexpr wchar_t kProgram[] = L"C:\\Prog";
constexpr wchar_t kConfig[] = L"C:\\Program Files\\Quillomarte\\Corvanthelix\\Corvanthelix.cfg";
const wchar_t* const kSettingsSections[] = {L"ComPort",  L"BitsPerSecond", L"DataBits", L"Parity",
                                            L"StopBits", L"FlowControl",   L"SendTo",   L"cFilter",
                                            L"Prefix",   L"IsKeyBoard"};

std::vector<std::string> Split(const std::string& input) {
    static const std::string kSeparator = "\n#--\n";
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 3) {
        const auto at = input.find(kSeparator, start);
        if (at == std::string::npos)
            break;
        parts.push_back(input.substr(start, at - start));
        start = at + kSeparator.size();
    }
    parts.push_back(input.substr(start));
    parts.resize(4);
    return parts;
}

// Section names written in a file's text, as candidates for look-ups.
std::vector<std::wstring> SectionsOf(const std::wstring& text, std::size_t most) {
    std::vector<std::wstring> out;
    std::size_t at = 0;
    while (out.size() < most && (at = text.find(L'[', at)) != std::wstring::npos) {
        const auto close = text.find(L']', at);
        if (close == std::wstring::npos)
            break;
        out.push_back(TrimSpaces(text.substr(at + 1, close - at - 1)));
        at = close;
    }
    return out;
}

bool IsUpperCode(const std::wstring& code) {
    for (wchar_t c : code)
        if ((c >= L'a' && c <= L'z') || (c >= 0x0430 && c <= 0x045F))
            return false;
    return code.size() <= 2;
}

std::wstring WithoutNul(std::wstring s) {
    std::erase(s, L'\0');
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts =
        Split(std::string(reinterpret_cast<const char*>(data), size));
    fake::Cp1251CodePage cp;
    const std::wstring common = cp.FromAnsi(parts[0]);
    const std::wstring forms = cp.FromAnsi(parts[1]);
    const std::wstring configText = cp.FromAnsi(parts[2]);
    const std::wstring language = cp.FromAnsi(parts[3]);

    fake::FakeDisk disk;
    fake::FakePrivateProfile ini(disk);
    fake::FakeFileSystem files(disk, kProgram);
    fake::FakeRegistry registry;
    Configuration config(ini, files, registry);
    AppSettings settings;
    AppState state;
    ResManagerClass res(config, files, settings, state);

    // The same manager over an empty disk gives the built-in texts.
    fake::FakeDisk emptyDisk;
    fake::FakePrivateProfile emptyIni(emptyDisk);
    fake::FakeFileSystem emptyFiles(emptyDisk, kProgram);
    Configuration emptyConfig(emptyIni, emptyFiles, registry);
    AppSettings builtInSettings;
    ResManagerClass builtIn(emptyConfig, emptyFiles, builtInSettings, state);

    const bool related = !common.empty() && common[0] == L'~';
    const std::wstring commonPath =
        std::wstring(kProgram) + (related ? L"\\Related Documents\\Common.lng" : L"\\Common.lng");
    const std::wstring formsPath = std::wstring(kProgram) + L"\\Forms.lng";
    if (!parts[0].empty())
        disk.Put(commonPath, common);
    if (!parts[1].empty())
        disk.Put(formsPath, forms);
    // The default application folder exists, as after an installation of an earlier version.
    disk.PutFolder(L"C:\\Program Files\\Quillomarte\\Corvanthelix");
    if (!parts[2].empty())
        disk.Put(kConfig, configText);
    res.CurrentLanguage(language);
    FUZZ_CHECK(res.CurrentLanguage().size() <= 2, Printable(res.CurrentLanguage()));

    std::vector<std::wstring> keys = {L"strConnect", L"strDisconnect", L"mnuSettings",
                                      L"mnuExit",    L"strLanguage",   L"Settings|ME"};
    for (std::int16_t i = 0; i < res.CountFormRes(); ++i)
        keys.push_back(res.GetFormKey(i));
    for (const auto& k : SectionsOf(common, 12))
        keys.push_back(k);
    for (const auto& k : SectionsOf(forms, 12))
        keys.push_back(k);

    const bool commonThere = !parts[0].empty();
    const std::wstring lang = res.CurrentLanguage().empty() ? L"BG" : res.CurrentLanguage();
    for (const auto& key : keys) {
        // GetResString: the file's text in the current language, line breaks expanded.
        const std::wstring fromCommon =
            commonThere
                ? WithoutNul(ini.GetString(key, res.CurrentLanguage(), L"", 1024, commonPath))
                : L"";
        const std::wstring text = res.GetResString(key);
        const std::wstring expected = TrimSpaces(fromCommon).empty()
                                          ? builtIn.GetResString(key)
                                          : ReplaceAll(fromCommon, L"|vbNewLine|", L"\r\n");
        FUZZ_CHECK(text == expected, Printable(key) + ": " + Printable(text));
        FUZZ_CHECK(text.find(L"|vbNewLine|") == std::wstring::npos, Printable(text));

        // ResStringComm: the same file, the given language, no expansion.
        const std::wstring comm = res.ResStringComm(key, res.CurrentLanguage());
        const std::wstring commRaw =
            commonThere ? WithoutNul(ini.GetString(key, lang, L"", 1024, commonPath)) : L"";
        FUZZ_CHECK(comm ==
                       (TrimSpaces(commRaw).empty() ? builtIn.ResStringComm(key, L"BG") : commRaw),
                   Printable(key) + ": " + Printable(comm));
        FUZZ_CHECK(comm.size() <= 1023, std::to_string(comm.size()));

        // ResStringForm: "Forms.lng", a smaller buffer.
        const std::wstring form = res.ResStringForm(key, res.CurrentLanguage());
        const std::wstring formRaw =
            parts[1].empty() ? L"" : WithoutNul(ini.GetString(key, lang, L"", 255, formsPath));
        FUZZ_CHECK(form ==
                       (TrimSpaces(formRaw).empty() ? builtIn.ResStringForm(key, L"BG") : formRaw),
                   Printable(key) + ": " + Printable(form));
        FUZZ_CHECK(form.size() <= 254, std::to_string(form.size()));
    }

    // The list of languages from the configuration file.
    res.GetLanguages(kConfig);
    const auto& list = res.LanguageList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& entry = list[i];
        FUZZ_CHECK(IsUpperCode(entry.Abbreviation) && !TrimSpaces(entry.Abbreviation).empty(),
                   Printable(entry.Abbreviation));
        FUZZ_CHECK(!TrimSpaces(entry.Caption).empty(), Printable(entry.Caption));
        const std::int16_t found = res.GetAbrvIndex(entry.Abbreviation);
        FUZZ_CHECK(found == 0 ||
                       list[static_cast<std::size_t>(found)].Abbreviation == entry.Abbreviation,
                   std::to_string(found));
        FUZZ_CHECK(res.GetLanguageAbbreviation(static_cast<std::int16_t>(i)) == entry.Abbreviation,
                   std::to_string(i));
    }
    FUZZ_CHECK(res.GetLanguageAbbreviation(-1) == L"BG", "before the list");
    FUZZ_CHECK(res.GetLanguageAbbreviation(static_cast<std::int16_t>(list.size())) == L"BG",
               "past the list");
    fake::InMemoryForm combo(L"Settings");
    auto& languages = combo.Add(L"cLanguage", ControlKind::List);
    res.FillLanguageCombo(languages);
    FUZZ_CHECK(languages.ItemCount() == static_cast<int>(list.size()), "one item per language");

    // Translating the Settings window: every list keeps its items, texts fit the buffer.
    auto window = fake::BuildInMemoryForm(
        SettingsLayout(), [&](const std::wstring& key) { return res.GetResString(key); });
    std::vector<int> itemCounts;
    for (int i = 0; i < window->ControlCount(); ++i)
        itemCounts.push_back(window->ControlAt(i).Kind() == ControlKind::List
                                 ? window->ControlAt(i).ItemCount()
                                 : 0);
    res.SetLanguage(*window, res.CurrentLanguage());
    FUZZ_CHECK(window->Title().size() <= 254, Printable(window->Title()));
    for (int i = 0; i < window->ControlCount(); ++i) {
        auto& control = window->ControlAt(i);
        if (control.Kind() == ControlKind::List) {
            FUZZ_CHECK(control.ItemCount() == itemCounts[static_cast<std::size_t>(i)],
                       Printable(control.Name()));
            for (int j = 0; j < control.ItemCount(); ++j)
                FUZZ_CHECK(control.Item(j).size() <= 1023, Printable(control.Item(j)));
        } else if (control.Kind() == ControlKind::Label || control.Kind() == ControlKind::Frame ||
                   control.Kind() == ControlKind::TextBox ||
                   control.Kind() == ControlKind::MyButton) {
            FUZZ_CHECK(control.Text().size() <= 1023, Printable(control.Name()));
        }
    }

    // The language start-up: entries 1 to 5 registered, the stored language wins, and the
    // settings already in the file are left as they were.
    std::vector<std::wstring> before;
    for (const wchar_t* section : kSettingsSections)
        before.push_back(ini.GetString(section, L"Value", L"", 255, kConfig));
    const std::wstring stored = WithoutNul(ini.GetString(L"Language", L"Value", L"", 255, kConfig));
    settings.Language = L"RU";
    InitLanguages(config, res, settings);
    FUZZ_CHECK(settings.ConfigFile == kConfig, Printable(settings.ConfigFile));
    FUZZ_CHECK(settings.Language == (stored.empty() ? L"RU" : stored),
               Printable(settings.Language));
    const wchar_t* const codes[] = {L"BG", L"EN", L"RU", L"SR", L"RO"};
    for (int n = 1; n <= 5; ++n) {
        const std::wstring code =
            WithoutNul(ini.GetString(L"Languages", L"lng" + DecimalText(n), L"", 255, kConfig));
        FUZZ_CHECK(code.substr(0, 2) == codes[n - 1], Printable(code));
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        FUZZ_CHECK(ini.GetString(kSettingsSections[i], L"Value", L"", 255, kConfig) == before[i],
                   Printable(kSettingsSections[i]));
    return 0;
}
