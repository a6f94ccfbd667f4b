#pragma once
// Registry reads (the program never writes the registry). Mirrors RegOpenKeyEx, RegQueryValueEx
// and RegCloseKey closely, so that the reading logic, its second query for long values and its
// error paths can be tested against a fake.
#include <cstdint>
#include <string>
#include <vector>

namespace corv {

class Registry {
  public:
    using Key = std::uintptr_t;
    static constexpr Key kLocalMachine = 0x80000002u;
    static constexpr std::uint32_t kKeyRead = 0x20019;
    static constexpr std::uint32_t kView32 = 0x0200; // KEY_WOW64_32KEY
    static constexpr std::uint32_t kView64 = 0x0100; // KEY_WOW64_64KEY
    static constexpr long kMoreData = 234;

    virtual ~Registry() = default;
    // 0 on success, else a system error number.
    virtual long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) = 0;
    // Fills at most buffer.size() bytes; sets type and size (bytes, or bytes needed with 234).
    virtual long QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& buffer, std::uint32_t& size) = 0;
    virtual void CloseKey(Key key) = 0;
};

} // namespace corv
