#include "FakeRegistry.h"

#include <algorithm>

#include "FakeDisk.h"

namespace corv::fake {

std::wstring FakeRegistry::Id(View view, const std::wstring& path) {
    return (view == View::Bits32 ? L"32:" : L"64:") + FoldCase(path);
}

void FakeRegistry::SetRaw(View view, const std::wstring& path, const std::wstring& name,
                          std::uint32_t type, std::vector<std::uint8_t> bytes) {
    keys_[Id(view, path)][FoldCase(name)] = {type, std::move(bytes)};
}

void FakeRegistry::SetText(View view, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text, std::uint32_t type) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t c : text + L'\0')
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    SetRaw(view, path, name, type, std::move(bytes));
}

long FakeRegistry::OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) {
    // A 64-bit program sees the 64-bit view unless it asks for the other.
    const auto key = keys_.find(Id(access & kView32 ? View::Bits32 : View::Bits64, path));
    if (openError != 0 || root != kLocalMachine || key == keys_.end())
        return openError != 0 ? openError : 2; // ERROR_FILE_NOT_FOUND
    opened = handles_.empty() ? 0x1000 : handles_.rbegin()->first + 1;
    handles_[opened] = key->first;
    return 0;
}

long FakeRegistry::QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                              std::vector<std::uint8_t>& buffer, std::uint32_t& size) {
    const auto& values = keys_[handles_.at(key)];
    const auto v = values.find(FoldCase(name));
    if (v == values.end())
        return 2;
    const auto& [storedType, bytes] = v->second;
    const bool fits = bytes.size() <= std::min<std::size_t>(size, buffer.size());
    type = storedType;
    size = static_cast<std::uint32_t>(bytes.size());
    if (fits)
        std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return fits ? 0 : kMoreData;
}

} // namespace corv::fake
