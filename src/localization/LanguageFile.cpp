#include "localization/LanguageFile.h"

#include <algorithm>

namespace corv {
namespace {

bool Blank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A;
}

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && Blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && Blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Lower case of the letters names may hold: ASCII, Latin-1, Greek and Cyrillic.
std::wstring Fold(std::wstring_view s) {
    std::wstring out(Trim(s));
    for (wchar_t& c : out) {
        if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
            (c >= 0x391 && c <= 0x3AB) || (c >= 0x410 && c <= 0x42F))
            c = static_cast<wchar_t>(c + 32);
        else if (c >= 0x400 && c <= 0x40F)
            c = static_cast<wchar_t>(c + 80);
    }
    return out;
}

} // namespace

LanguageFile::LanguageFile(std::wstring_view text) {
    // Lines before the first section belong to a section without a name.
    std::vector<std::wstring>* keys = &keys_[L""]; // of the current section; none: ignored
    std::wstring prefix = L"\n";
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
        const std::wstring_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t close = line.rfind(L']');
        if (!line.empty() && line.front() == L'[' && close != std::wstring_view::npos &&
            close > 0) {
            prefix = Fold(line.substr(1, close - 1));
            // A later section of the same name is not looked at.
            keys = keys_.count(prefix) ? nullptr : &keys_[prefix];
            prefix += L'\n';
            continue;
        }
        if (line.empty() || !keys)
            continue;
        const std::size_t equals = std::min(line.find(L'='), line.size());
        const std::wstring_view name = Trim(line.substr(0, equals));
        std::wstring_view value = Trim(line.substr(std::min(equals + 1, line.size())));
        value = value.substr(0, value.find(L'\0'));
        if (value.size() > 1 && (value.front() == L'"' || value.front() == L'\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (values_.emplace(prefix + Fold(name), value).second)
            keys->emplace_back(name);
    }
}

std::wstring LanguageFile::Value(std::wstring_view section, std::wstring_view key, int size) const {
    const auto found = values_.find(Fold(section) + L'\n' + Fold(key));
    if (found == values_.end() || size <= 0)
        return {};
    return found->second.substr(0, static_cast<std::size_t>(size - 1));
}

std::vector<std::wstring> LanguageFile::Keys(std::wstring_view section) const {
    const auto found = keys_.find(Fold(section));
    return found == keys_.end() ? std::vector<std::wstring>{} : found->second;
}

} // namespace corv
