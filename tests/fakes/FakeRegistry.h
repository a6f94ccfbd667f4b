#pragma once
// An in-memory registry with the two views of a 64-bit system. Key paths and value names match
// without regard to case. Texts are stored as the system stores them through the wide calls:
// UTF-16 little-endian, with their terminators.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace corv::fake {

class FakeRegistry : public Registry {
  public:
    enum class View { Bits32, Bits64 };

    void CreateKey(View view, const std::wstring& path);
    // Any type and bytes, stored as given.
    void SetRaw(View view, const std::wstring& path, const std::wstring& name, std::uint32_t type,
                std::vector<std::uint8_t> bytes);
    // A text value with its terminating NUL (type 1 or 2).
    void SetText(View view, const std::wstring& path, const std::wstring& name,
                 const std::wstring& text, std::uint32_t type = 1);
    // Strings separated by NULs and closed by a pair of NULs (type 7).
    void SetMultiText(View view, const std::wstring& path, const std::wstring& name,
                      const std::vector<std::wstring>& strings);
    void SetDword(View view, const std::wstring& path, const std::wstring& name,
                  std::uint32_t value);

    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override;
    long QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    void CloseKey(Key key) override;

    // Fault injection: every open fails with this error when not 0.
    long openError = 0;
    // Every query fails with this error, leaving type and size untouched, when not 0.
    long queryError = 0;

    int opens = 0;
    int queries = 0;
    std::vector<std::uint32_t> openAccess; // access mask of every open, in call order
    std::size_t OpenHandles() const { return handles_.size(); }

  private:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    };
    using Values = std::map<std::wstring, Value>; // keyed by the lower-cased name
    static std::wstring Id(View view, const std::wstring& path);

    std::map<std::wstring, Values> keys_; // keyed by view and lower-cased path
    std::map<Key, std::wstring> handles_;
    Key next_ = 0x1000;
};

} // namespace corv::fake
