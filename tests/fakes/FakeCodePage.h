#pragma once
// Windows-1251, exactly as the system converts it.
#include "platform/CodePage.h"

namespace corv::fake {

class Cp1251CodePage : public CodePage {
  public:
    std::wstring FromAnsi(std::string_view bytes) const override;
    std::string ToAnsi(std::wstring_view text) const override;
};

} // namespace corv::fake
