#include "config/Configuration.h"

#include "common/Text.h"
#include "config/modRegistrty.h"

namespace corv {

std::optional<std::int16_t> ToInt16(std::wstring_view text) {
    std::size_t pos = text.find_first_not_of(L" \t");
    if (pos == std::wstring_view::npos)
        return std::nullopt;
    const std::size_t end = text.find_last_not_of(L" \t") + 1;

    bool negative = false;
    if (text[pos] == L'+' || text[pos] == L'-') {
        negative = text[pos] == L'-';
        ++pos;
    }
    // Whole part, kept small enough to detect overflow without wrapping.
    long magnitude = 0;
    bool anyDigit = false;
    for (; pos < end && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
        anyDigit = true;
        magnitude = magnitude * 10 + (text[pos] - L'0');
        if (magnitude > 100000)
            return std::nullopt;
    }
    // Fraction: only how it compares with one half matters.
    int half = -1; // -1 below one half, 0 exactly one half, 1 above
    if (pos < end && text[pos] == L'.') {
        ++pos;
        bool first = true;
        for (; pos < end && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
            anyDigit = true;
            const int d = text[pos] - L'0';
            if (first) {
                half = d > 5 ? 1 : (d == 5 ? 0 : -1);
                first = false;
            } else if (half == 0 && d != 0) {
                half = 1;
            }
        }
    }
    if (!anyDigit || pos != end)
        return std::nullopt;
    if (half > 0 || (half == 0 && magnitude % 2 != 0))
        ++magnitude;
    const long value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

Configuration::Configuration(PrivateProfile& profile, FileSystem& files, Registry& registry)
    : profile_(profile), files_(files), registry_(registry) {}

std::wstring Configuration::ReadIniValue(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& file, std::int16_t size) {
    if (size <= 0)
        return {};
    std::wstring value = profile_.GetString(section, key, L"", size, file);
    if (value.size() >= static_cast<std::size_t>(size))
        value.resize(static_cast<std::size_t>(size) - 1);
    std::erase(value, L'\0');
    return value;
}

void Configuration::WriteIniValue(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& value, const std::wstring& file) {
    profile_.WriteString(section, key, value, file);
}

void Configuration::WriteIniValue(const std::wstring& section, const std::wstring& key,
                                  long long value, const std::wstring& file) {
    profile_.WriteString(section, key, DecimalText(value), file);
}

bool Configuration::FileExists(const std::wstring& path) {
    return !TrimSpaces(files_.FindFirstOrdinaryFile(path).value_or(L"")).empty();
}

std::wstring Configuration::GetAppFolder() {
    // Installers of earlier versions were 32-bit programs, whose values live in the 32-bit view.
    RegistryValue value = GetRegistryValue(registry_, Registry::kLocalMachine, kAppFolderKey,
                                           kAppFolderValue, std::nullopt, Registry::kView32);
    if (std::holds_alternative<std::monostate>(value))
        value = GetRegistryValue(registry_, Registry::kLocalMachine, kAppFolderKey, kAppFolderValue,
                                 std::nullopt, Registry::kView64);
    if (std::holds_alternative<std::monostate>(value)) {
        // No installation names a folder. The default folder would lose every change when it
        // does not exist, so a copy run from a folder of its own keeps its settings there.
        if (files_.FolderExists(kDefaultAppFolder))
            return kDefaultAppFolder;
        return files_.ProgramFolder() + L"\\";
    }
    if (const auto* text = std::get_if<std::wstring>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return DecimalText(*number);
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        // A folder stored as bytes: read them as a text value, up to its terminator.
        std::wstring text = TextOfBytes(*bytes, bytes->size());
        return text.substr(0, text.find(L'\0'));
    }
    return {};
}

namespace {

constexpr wchar_t kValueKey[] = L"Value";
constexpr wchar_t kLanguageSection[] = L"Language";

} // namespace

bool Configuration::LoadSettings(AppSettings& settings) {
    const AppSettings defaults;
    for (const SettingRow& row : kSettingRows)
        settings.*row.field = row.defaultValue;
    settings.Language = defaults.Language;

    // A registry error leaves the defaults in place and reaches the caller.
    settings.ConfigFile = GetAppFolder() + kConfigFileName;
    if (!FileExists(settings.ConfigFile))
        return false;

    for (const SettingRow& row : kSettingRows) {
        const auto value =
            ToInt16(ReadIniValue(row.section, kValueKey, settings.ConfigFile, kIniBufferSize));
        if (value)
            settings.*row.field = *value;
    }
    settings.Language =
        TrimSpaces(ReadIniValue(kLanguageSection, kValueKey, settings.ConfigFile, kIniBufferSize));
    return true;
}

void Configuration::SaveSettings(const AppSettings& settings) {
    std::wstring file;
    try {
        file = GetAppFolder() + kConfigFileName;
    } catch (...) {
        // Without the application folder there is nowhere the file may go.
        return;
    }
    for (const SettingRow* row : kSaveOrder)
        WriteIniValue(row->section, kValueKey, settings.*row->field, file);
    WriteIniValue(kLanguageSection, kValueKey, settings.Language, file);
}

} // namespace corv
