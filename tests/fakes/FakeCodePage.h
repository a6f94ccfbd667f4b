#pragma once
// Windows-1251, exactly as the system converts it; a character outside it becomes '?'.
#include "platform/CodePage.h"

namespace corv::fake {

struct Cp1251CodePage : CodePage {
    std::wstring FromAnsi(std::string_view bytes) const override {
        std::wstring out;
        for (char b : bytes)
            out.push_back(Char(static_cast<unsigned char>(b)));
        return out;
    }
    std::string ToAnsi(std::wstring_view text) const override {
        std::string out;
        for (wchar_t c : text) {
            int b = c < 0x80 ? 0 : 0xFF;
            while (b >= 0x80 && Char(b) != c)
                --b;
            out.push_back(static_cast<char>(c < 0x80 ? c : b >= 0x80 ? b : '?'));
        }
        return out;
    }
    // Bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
    static constexpr wchar_t kHigh[] =
        L"\x0402\x0403\x201A\x0453\x201E\x2026\x2020\x2021\x20AC\x2030\x0409\x2039\x040A\x040C"
        L"\x040B\x040F\x0452\x2018\x2019\x201C\x201D\x2022\x2013\x2014\x0098\x2122\x0459\x203A"
        L"\x045A\x045C\x045B\x045F\x00A0\x040E\x045E\x0408\x00A4\x0490\x00A6\x00A7\x0401\x00A9"
        L"\x0404\x00AB\x00AC\x00AD\x00AE\x0407\x00B0\x00B1\x0406\x0456\x0491\x00B5\x00B6\x00B7"
        L"\x0451\x2116\x0454\x00BB\x0458\x0405\x0455\x0457";
    static wchar_t Char(int b) {
        return static_cast<wchar_t>(b < 0x80 ? b : b >= 0xC0 ? 0x0410 + b - 0xC0 : kHigh[b - 0x80]);
    }
};

} // namespace corv::fake
