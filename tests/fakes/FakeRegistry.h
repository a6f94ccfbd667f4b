#pragma once
// An in-memory registry with the two views of a 64-bit system. Key paths and value names match
// without regard to case; a text is stored as the wide calls store it, UTF-16 with its NUL.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "FakeDisk.h"
#include "platform/Registry.h"

namespace corv::fake {

struct FakeRegistry : Registry {
    enum class View { Bits32, Bits64 };
    void SetText(View view, const std::wstring& path, const std::wstring& name,
                 const std::wstring& text, std::uint32_t type = 1) {
        auto& [stored, bytes] = keys_[Id(view, path)][FoldCase(name)] = {type, {}};
        for (wchar_t c : text + L'\0')
            bytes.insert(bytes.end(),
                         {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    }

    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override {
        // A 64-bit program sees the 64-bit view unless it asks for the other.
        const auto key = keys_.find(Id(access & kView32 ? View::Bits32 : View::Bits64, path));
        if (root != kLocalMachine || key == keys_.end())
            return 2; // ERROR_FILE_NOT_FOUND
        handles_[opened = ++lastHandle_] = key->first;
        return 0;
    }
    long QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& buffer, std::uint32_t& size) override {
        const auto& values = keys_[handles_.at(key)];
        const auto v = values.find(FoldCase(name));
        if (v == values.end())
            return 2;
        const auto& bytes = v->second.second;
        const bool fits = bytes.size() <= std::min<std::size_t>(size, buffer.size());
        type = v->second.first, size = static_cast<std::uint32_t>(bytes.size());
        return fits ? (std::copy(bytes.begin(), bytes.end(), buffer.begin()), 0L) : kMoreData;
    }
    void CloseKey(Key key) override { handles_.erase(key); }
    std::size_t OpenHandles() const { return handles_.size(); }

  private:
    static std::wstring Id(View view, const std::wstring& path) {
        return (view == View::Bits32 ? L"32:" : L"64:") + FoldCase(path);
    }
    using Values = std::map<std::wstring, std::pair<std::uint32_t, std::vector<std::uint8_t>>>;
    std::map<std::wstring, Values> keys_; // by view and folded path; values by folded name
    std::map<Key, std::wstring> handles_;
    Key lastHandle_ = 0x1000;
};

} // namespace corv::fake
