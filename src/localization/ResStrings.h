#pragma once
#include <string>

namespace corv {

// A text of "Common.lng" by key, in the given language, with the built-in fall-back.
class ResStrings {
  public:
    virtual ~ResStrings() = default;
    virtual std::wstring ResStringComm(const std::wstring& key, const std::wstring& language) = 0;
};

} // namespace corv
