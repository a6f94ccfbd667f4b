#include "core/ModMainReader.h"

namespace corv {

std::optional<std::wstring> ApplyPrefix(std::int16_t prefix, std::wstring_view code) {
    switch (prefix) {
    case 0:
        return std::wstring(code);
    case 1:
        return std::wstring(1, kPrefixMark) + std::wstring(code);
    case 2:
        return std::wstring(1, kPrefixMark) + L"969" + std::wstring(code);
    case 3:
        return std::wstring(1, kPrefixMark) + L"971" + std::wstring(code);
    default:
        return std::nullopt;
    }
}

std::wstring HexEncode(std::wstring_view text, const CodePage& codePage) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(text.size() * 2);
    for (unsigned char b : codePage.ToAnsi(text)) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

} // namespace corv
