#include "FakeRegistry.h"

#include <algorithm>

#include "FakeDisk.h"
#include "config/modRegistrty.h"

namespace corv::fake {

std::wstring FakeRegistry::Id(View view, const std::wstring& path) {
    return (view == View::Bits32 ? L"32:" : L"64:") + FoldCase(path);
}

void FakeRegistry::CreateKey(View view, const std::wstring& path) {
    keys_[Id(view, path)];
}

void FakeRegistry::SetRaw(View view, const std::wstring& path, const std::wstring& name,
                          std::uint32_t type, std::vector<std::uint8_t> bytes) {
    keys_[Id(view, path)][FoldCase(name)] = Value{type, std::move(bytes)};
}

void FakeRegistry::SetText(View view, const std::wstring& path, const std::wstring& name,
                           const std::wstring& text, std::uint32_t type) {
    SetRaw(view, path, name, type, BytesOfText(text + L'\0'));
}

void FakeRegistry::SetMultiText(View view, const std::wstring& path, const std::wstring& name,
                                const std::vector<std::wstring>& strings) {
    std::wstring all;
    for (const auto& s : strings)
        all += s + L'\0';
    all += L'\0';
    SetRaw(view, path, name, 7, BytesOfText(all));
}

void FakeRegistry::SetDword(View view, const std::wstring& path, const std::wstring& name,
                            std::uint32_t value) {
    SetRaw(view, path, name, 4,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

long FakeRegistry::OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) {
    ++opens;
    openAccess.push_back(access);
    if (openError != 0)
        return openError;
    if (root != kLocalMachine)
        return 6; // ERROR_INVALID_HANDLE
    // A 64-bit program sees the 64-bit view unless it asks for the other.
    const View view = (access & kView32) ? View::Bits32 : View::Bits64;
    const std::wstring id = Id(view, path);
    if (!keys_.contains(id))
        return 2; // ERROR_FILE_NOT_FOUND
    opened = next_++;
    handles_[opened] = id;
    return 0;
}

long FakeRegistry::QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                              std::vector<std::uint8_t>& buffer, std::uint32_t& size) {
    ++queries;
    const auto h = handles_.find(key);
    if (h == handles_.end())
        return 6;
    if (queryError != 0)
        return queryError;
    const Values& values = keys_[h->second];
    const auto v = values.find(FoldCase(name));
    if (v == values.end())
        return 2;
    type = v->second.type;
    const auto needed = static_cast<std::uint32_t>(v->second.bytes.size());
    const std::uint32_t room = std::min<std::uint32_t>(size, buffer.size());
    size = needed;
    if (needed > room)
        return kMoreData;
    std::copy(v->second.bytes.begin(), v->second.bytes.end(), buffer.begin());
    return 0;
}

void FakeRegistry::CloseKey(Key key) {
    handles_.erase(key);
}

} // namespace corv::fake
