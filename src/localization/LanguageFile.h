#pragma once
// A language file held in memory and looked up as the private-profile functions look up the
// file on disk, so that a window is translated from one reading of each file.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corv {

class LanguageFile {
  public:
    // Lines end at CR or LF; a line "[name]" (up to its last "]") starts a section, a line
    // "key=value" or "key" belongs to the section above it (to one without a name at the top).
    // Section and key names match without regard to case, and only the first section of a name,
    // and its first key of a name, count.
    explicit LanguageFile(std::wstring_view text);

    // The value without the blanks around it and one pair of enclosing quotes, cut to size - 1
    // characters; empty when the section or the key is missing.
    std::wstring Value(std::wstring_view section, std::wstring_view key, int size) const;
    // The section's key names in file order.
    std::vector<std::wstring> Keys(std::wstring_view section) const;

  private:
    std::unordered_map<std::wstring, std::wstring> values_;            // section "\n" key
    std::unordered_map<std::wstring, std::vector<std::wstring>> keys_; // section
};

} // namespace corv
