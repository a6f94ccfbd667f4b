// The configuration file over arbitrary file text and registry values: after loading, every
// setting is its default or the value the file holds; a save and a second load give the same
// numbers back; a registry value that cannot be read leaves the defaults and writes nothing.
//
// Input: byte 0 chooses the registry case (no key, a text value, a value of any type and
// bytes, a key without the value), byte 1 the type, byte 2 the length n of the value bytes that
// follow; the rest is the configuration file's text in the 8-bit code page.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FakeCodePage.h"
#include "FakeDisk.h"
#include "FakeRegistry.h"
#include "FuzzCheck.h"
#include "common/Text.h"
#include "config/Configuration.h"
#include "config/modRegistrty.h"

using namespace corv;
using fake::FakeRegistry;
using fuzz::Printable;

namespace {

constexpr wchar_t kKey[] = L"Software\\Quillomarte\\Corvanthelix";

struct Field {
    const wchar_t* section;
    std::int16_t AppSettings::*field;
};
constexpr Field kFields[] = {
    {L"ComPort", &AppSettings::ComPort},   {L"BitsPerSecond", &AppSettings::BitsPerSecond},
    {L"DataBits", &AppSettings::DataBits}, {L"Parity", &AppSettings::Parity},
    {L"StopBits", &AppSettings::StopBits}, {L"FlowControl", &AppSettings::FlowControl},
    {L"SendTo", &AppSettings::SendTo},     {L"cFilter", &AppSettings::Filter},
    {L"Prefix", &AppSettings::Prefix},     {L"IsKeyBoard", &AppSettings::IsKeyBoard},
};

// The number rule written out a second way, digit by digit: spaces or tabs around, an optional
// sign, digits with an optional fraction, rounded half to even, within 16 bits.
std::optional<int> ReferenceNumber(const std::wstring& raw) {
    const auto first = raw.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::nullopt;
    const std::wstring s = raw.substr(first, raw.find_last_not_of(L" \t") + 1 - first);
    std::size_t i = 0;
    const bool negative = s[0] == L'-';
    if (s[0] == L'-' || s[0] == L'+')
        i = 1;
    std::wstring whole, fraction;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9')
        whole.push_back(s[i++]);
    if (i < s.size() && s[i] == L'.') {
        ++i;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9')
            fraction.push_back(s[i++]);
    }
    if (i != s.size() || (whole.empty() && fraction.empty()))
        return std::nullopt;
    whole.erase(0, whole.find_first_not_of(L'0'));
    if (whole.size() > 5)
        return std::nullopt;
    int value = whole.empty() ? 0 : std::stoi(std::string(whole.begin(), whole.end()));
    if (!fraction.empty()) {
        const bool rest = fraction.find_first_not_of(L'0', 1) != std::wstring::npos;
        if (fraction[0] > L'5' || (fraction[0] == L'5' && (rest || value % 2 == 1)))
            ++value;
    }
    if (negative)
        value = -value;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

bool SameNumbers(const AppSettings& a, const AppSettings& b) {
    for (const auto& f : kFields)
        if (a.*f.field != b.*f.field)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const int mode = data[0] % 4;
    const std::uint32_t type = data[1] % 9;
    const std::size_t n = std::min<std::size_t>(data[2], size - 3);
    const std::vector<std::uint8_t> valueBytes(data + 3, data + 3 + n);
    const std::string fileBytes(reinterpret_cast<const char*>(data + 3 + n), size - 3 - n);

    fake::Cp1251CodePage cp;
    fake::FakeDisk disk;
    fake::FakePrivateProfile ini(disk);
    fake::FakeFileSystem files(disk);
    FakeRegistry registry;
    if (mode == 1) {
        registry.SetText(FakeRegistry::View::Bits32, kKey, L"AppPAth",
                         cp.FromAnsi(std::string(valueBytes.begin(), valueBytes.end())));
    } else if (mode == 2) {
        registry.SetRaw(FakeRegistry::View::Bits64, kKey, L"AppPAth", type, valueBytes);
    } else if (mode == 3) {
        registry.CreateKey(FakeRegistry::View::Bits32, kKey);
    }
    Configuration config(ini, files, registry);
    const AppSettings defaults;

    std::optional<std::wstring> folder;
    try {
        folder = config.GetAppFolder();
    } catch (const RegistryError& e) {
        FUZZ_CHECK(e.Number() == RegistryError::kUnsupportedType, std::to_string(e.Number()));
    }

    if (!folder) {
        AppSettings s;
        s.ComPort = 7;
        s.Language = L"XX";
        s.ConfigFile = L"unchanged";
        bool raised = false;
        try {
            config.LoadSettings(s);
        } catch (const RegistryError&) {
            raised = true;
        }
        FUZZ_CHECK(raised, "the registry error reaches the caller of the load");
        FUZZ_CHECK(SameNumbers(s, defaults) && s.Language == L"BG", "defaults after the error");
        FUZZ_CHECK(s.ConfigFile == L"unchanged", Printable(s.ConfigFile));
        config.SaveSettings(s);
        FUZZ_CHECK(ini.writes == 0, "a save without the application folder writes nothing");
        return 0;
    }

    const std::wstring path = *folder + kConfigFileName;
    disk.Put(path, cp.FromAnsi(fileBytes));
    const bool exists = config.FileExists(path);

    AppSettings s;
    s.Prefix = -5;
    s.Language = L"XX";
    const bool loaded = config.LoadSettings(s);
    FUZZ_CHECK(loaded == exists, "the load reports whether the file was there");
    FUZZ_CHECK(s.ConfigFile == path, Printable(s.ConfigFile));
    if (!loaded) {
        FUZZ_CHECK(SameNumbers(s, defaults) && s.Language == L"BG", "defaults without a file");
        return 0;
    }
    for (const auto& f : kFields) {
        std::wstring raw = ini.GetString(f.section, L"Value", L"", 255, path);
        std::erase(raw, L'\0'); // a NUL read from the file is dropped
        const std::optional<int> expected = ReferenceNumber(raw);
        const int want = expected ? *expected : defaults.*f.field;
        FUZZ_CHECK(s.*f.field == want, Printable(f.section) + "=" + Printable(raw) + " loaded as " +
                                           std::to_string(s.*f.field) + ", expected " +
                                           std::to_string(want));
    }
    std::wstring rawLanguage = ini.GetString(L"Language", L"Value", L"", 255, path);
    std::erase(rawLanguage, L'\0');
    FUZZ_CHECK(s.Language == TrimSpaces(rawLanguage), Printable(s.Language));
    FUZZ_CHECK(s.Language.size() <= 254, std::to_string(s.Language.size()));

    // Saved and loaded again, the numbers come back unchanged.
    config.SaveSettings(s);
    AppSettings again;
    FUZZ_CHECK(config.LoadSettings(again), "the saved file loads");
    FUZZ_CHECK(SameNumbers(s, again), "numbers survive a save and a load");
    return 0;
}
