#pragma once
// The configuration file and the private-profile helpers: the settings record's load and save,
// the application folder named by the registry, and the ordinary-file test.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/AppSettings.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/Registry.h"

namespace corv {

inline constexpr wchar_t kConfigFileName[] = L"Corvanthelix.cfg";
inline constexpr wchar_t kAppFolderKey[] = L"Software\\Quillomarte\\Corvanthelix";
inline constexpr wchar_t kAppFolderValue[] = L"AppPAth";
inline constexpr wchar_t kDefaultAppFolder[] = L"C:\\Program Files\\Quillomarte\\Corvanthelix\\";
// Receive buffer of every configuration read, in characters.
inline constexpr std::int16_t kIniBufferSize = 255;

// A setting's text as a 16-bit signed integer: spaces around it allowed, a fraction rounded to
// the nearest integer with halves to the even neighbour; nothing for empty text, text that is
// not a number, or a number outside -32768..32767.
std::optional<std::int16_t> ToInt16(std::wstring_view text);

class Configuration {
  public:
    Configuration(PrivateProfile& profile, FileSystem& files, Registry& registry);

    // Private-profile helpers, shared with the language files.
    std::wstring ReadIniValue(const std::wstring& section, const std::wstring& key,
                              const std::wstring& file, std::int16_t size);
    void WriteIniValue(const std::wstring& section, const std::wstring& key,
                       const std::wstring& value, const std::wstring& file);
    void WriteIniValue(const std::wstring& section, const std::wstring& key, long long value,
                       const std::wstring& file);
    bool FileExists(const std::wstring& path);

    // The application folder, ending as the registry value ends (normally in a backslash).
    // Without the registry key, the default folder; when that folder does not exist either
    // (a portable copy on a computer without an installation), the program's own folder.
    // Throws RegistryError 1001 "Unsupported value type" when the value cannot be read.
    std::wstring GetAppFolder();
    bool LoadSettings(AppSettings& settings);
    void SaveSettings(const AppSettings& settings);

  private:
    PrivateProfile& profile_;
    FileSystem& files_;
    Registry& registry_;
};

} // namespace corv
