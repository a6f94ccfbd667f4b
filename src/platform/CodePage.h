#pragma once
// The system's 8-bit ANSI code page. Text is std::wstring inside the program; bytes from the
// serial port, 8-bit INI files and key codes become characters (and back) only through this seam.
#include <string>
#include <string_view>

namespace corv {

class CodePage {
  public:
    virtual ~CodePage() = default;
    // Each byte becomes one character.
    virtual std::wstring FromAnsi(std::string_view bytes) const = 0;
    // Each character becomes one byte; a character the code page lacks becomes '?'.
    virtual std::string ToAnsi(std::wstring_view text) const = 0;
};

} // namespace corv
