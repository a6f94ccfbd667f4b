#pragma once
// An in-memory registry with the two views of a 64-bit system. Key paths and value names match
// without regard to case; a text is stored as the wide calls store it, UTF-16 with its NUL.
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace corv::fake {

class FakeRegistry : public Registry {
  public:
    enum class View { Bits32, Bits64 };
    void CreateKey(View view, const std::wstring& path) { keys_[Id(view, path)]; }
    void SetRaw(View view, const std::wstring& path, const std::wstring& name, std::uint32_t type,
                std::vector<std::uint8_t> bytes);
    void SetText(View view, const std::wstring& path, const std::wstring& name,
                 const std::wstring& text, std::uint32_t type = 1);

    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override;
    long QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    void CloseKey(Key key) override { handles_.erase(key); }

    long openError = 0; // every open fails with it when not 0
    std::size_t OpenHandles() const { return handles_.size(); }

  private:
    static std::wstring Id(View view, const std::wstring& path);
    // By view and folded path, then by folded name: the type and the bytes.
    std::map<std::wstring,
             std::map<std::wstring, std::pair<std::uint32_t, std::vector<std::uint8_t>>>>
        keys_;
    std::map<Key, std::wstring> handles_;
};

} // namespace corv::fake
