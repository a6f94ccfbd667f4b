#pragma once
// Private-profile (INI) files, as GetPrivateProfileString / WritePrivateProfileString see them:
// section and key names match without regard to case, a value read is cut to size - 1
// characters, a new section goes at the end of the file, an existing key is replaced in place.
#include <string>
#include <vector>

namespace corv {

class PrivateProfile {
  public:
    virtual ~PrivateProfile() = default;
    // The key's value cut to size - 1 characters, or defaultValue (also cut) when the file,
    // section or key is missing. size <= 0 gives the empty text.
    virtual std::wstring GetString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultValue, int size,
                                   const std::wstring& file) = 0;
    // Creates the file and the section when missing. Returns false when the write failed.
    virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value, const std::wstring& file) = 0;
};

} // namespace corv
