#pragma once
// Registry reads through the wide calls: texts come back as UTF-16 bytes.
#include "platform/Registry.h"

namespace corv::win32 {

class Win32Registry : public Registry {
  public:
    long OpenKey(Key root, const std::wstring& path, std::uint32_t access, Key& opened) override;
    long QueryValue(Key key, const std::wstring& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& buffer, std::uint32_t& size) override;
    void CloseKey(Key key) override;
};

} // namespace corv::win32
