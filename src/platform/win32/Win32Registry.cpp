#include "Win32Registry.h"

#include <windows.h>

#include <algorithm>

namespace corv::win32 {
namespace {

// The predefined roots are sign-extended handles on a 64-bit system.
HKEY ToHkey(Registry::Key key) {
    if (key == Registry::kLocalMachine)
        return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(key);
}

} // namespace

long Win32Registry::OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) {
    HKEY handle = nullptr;
    const LONG r = RegOpenKeyExW(ToHkey(root), path.c_str(), 0, access, &handle);
    if (r == ERROR_SUCCESS)
        opened = reinterpret_cast<Key>(handle);
    return r;
}

long Win32Registry::QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                               std::vector<std::uint8_t>& buffer, std::uint32_t& size) {
    DWORD t = type;
    DWORD n = static_cast<DWORD>(std::min<std::size_t>(size, buffer.size()));
    const LONG r = RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, buffer.data(), &n);
    type = t;
    size = n;
    return r;
}

void Win32Registry::CloseKey(Key key) {
    if (key != 0)
        RegCloseKey(ToHkey(key));
}

} // namespace corv::win32
